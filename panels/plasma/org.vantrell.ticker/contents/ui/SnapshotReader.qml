// SPDX-License-Identifier: GPL-3.0-or-later
// The snapshot file the program keeps, read again whenever it is replaced.
// The widget host says where it is; the folder model watches its directory
// (inotify: nothing is polled, no process runs per update).
import QtQuick 2.15
import Qt.labs.folderlistmodel 2.15
import org.kde.plasma.core 2.0 as PlasmaCore

Item {
    id: reader
    property var snapshot: null
    property string path: ""
    readonly property string fileName: path.substring(path.lastIndexOf("/") + 1)

    function load() {
        if (!path)
            return;
        const request = new XMLHttpRequest();
        request.onreadystatechange = function () {
            if (request.readyState !== XMLHttpRequest.DONE)
                return;
            try {
                const parsed = JSON.parse(request.responseText);
                reader.snapshot = parsed && typeof parsed === "object" ? parsed : null;
            } catch (e) {
                reader.snapshot = null;
            }
        };
        request.open("GET", "file://" + path);
        request.send();
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
        folder: reader.path ? "file://" + reader.path.substring(0, reader.path.lastIndexOf("/")) : ""
        nameFilters: reader.fileName ? [reader.fileName] : []
        showDirs: false
        onDataChanged: reader.load()
        onCountChanged: reader.load()
    }

    onPathChanged: load()
}
