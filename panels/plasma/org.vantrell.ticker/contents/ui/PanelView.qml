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

    // The text each file was last read with, and its modification time: a
    // file is read again only when it was replaced, and parsed again only
    // when its text changed (most of the program's writes change no text the
    // panel shows, but each parse makes every binding run).
    property var seen: ({})

    function read(name, modified) {
        const request = new XMLHttpRequest();
        request.onreadystatechange = function () {
            if (request.readyState !== XMLHttpRequest.DONE)
                return;
            const text = request.responseText;
            if (reader.seen[name] && reader.seen[name].text === text)
                return;
            reader.seen[name] = {modified: modified, text: text};
            let parsed = null;
            try {
                parsed = JSON.parse(text);
            } catch (e) {
            }
            parsed = parsed && typeof parsed === "object" ? parsed : null;
            if (name === reader.fileName)
                reader.programSnapshot = parsed;
            else
                reader.hostSnapshot = parsed;
        };
        request.open("GET", "file://" + reader.directory + "/" + name);
        request.send();
    }

    function load() {
        if (!path)
            return;
        const present = {};
        for (let i = 0; i < folder.count; ++i) {
            const name = folder.get(i, "fileName");
            const modified = folder.get(i, "fileModified").getTime();
            present[name] = true;
            if (!seen[name] || seen[name].modified !== modified)
                read(name, modified);
        }
        // A file that went is no longer shown.
        for (const name of [fileName, hostFileName]) {
            if (!present[name]) {
                delete seen[name];
                if (name === fileName)
                    programSnapshot = null;
                else
                    hostSnapshot = null;
            }
        }
    }

    // The model signals a replacement more than once: one load for them all.
    Timer {
        id: reload
        interval: 50
        onTriggered: reader.load()
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
        id: folder
        folder: reader.path ? "file://" + reader.directory : ""
        nameFilters: reader.fileName ? [reader.fileName, reader.hostFileName] : []
        showDirs: false
        onDataChanged: reload.restart()
        onCountChanged: reload.restart()
    }
}
