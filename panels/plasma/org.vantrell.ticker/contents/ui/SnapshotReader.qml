// SPDX-License-Identifier: GPL-3.0-or-later
// The snapshot files, read again whenever one is replaced.
// The widget host says where it is; the folder model watches its directory
// (inotify: nothing is polled, no process runs per update).
import QtQuick 2.15
import Qt.labs.folderlistmodel 2.15
import org.kde.plasma.core 2.0 as PlasmaCore

Item {
    id: reader
    // The program's file, or the widget host's own beside it while the program
    // does not run: whichever goes stale later.
    readonly property var snapshot: later(programSnapshot, hostSnapshot)
    property var programSnapshot: null
    property var hostSnapshot: null
    property string path: ""
    readonly property string directory: path.substring(0, path.lastIndexOf("/"))
    readonly property string fileName: path.substring(path.lastIndexOf("/") + 1)
    readonly property string hostFileName: "panel-snapshot.json"

    function later(a, b) {
        if (!a || !b)
            return a || b;
        return b.panelStaleAt > a.panelStaleAt ? b : a;
    }

    function read(file, done) {
        const request = new XMLHttpRequest();
        request.onreadystatechange = function () {
            if (request.readyState !== XMLHttpRequest.DONE)
                return;
            try {
                const parsed = JSON.parse(request.responseText);
                done(parsed && typeof parsed === "object" ? parsed : null);
            } catch (e) {
                done(null);
            }
        };
        request.open("GET", "file://" + file);
        request.send();
    }

    function load() {
        if (!path)
            return;
        read(path, function (parsed) { reader.programSnapshot = parsed; });
        read(directory + "/" + hostFileName, function (parsed) { reader.hostSnapshot = parsed; });
    }

    PlasmaCore.DataSource {
        engine: "executable"
        connectedSources: ["vantrell-widget-host --snapshot-path"]
        onNewData: {
            const found = (data["stdout"] || "").trim();
            if (found)
                reader.path = found;
            disconnectSource(sourceName);
        }
    }

    FolderListModel {
        folder: reader.path ? "file://" + reader.directory : ""
        nameFilters: reader.fileName ? [reader.fileName, reader.hostFileName] : []
        showDirs: false
        onDataChanged: reader.load()
        onCountChanged: reader.load()
    }

    onPathChanged: load()
}
