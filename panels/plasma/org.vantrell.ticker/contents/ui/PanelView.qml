// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's view of one coin as the widget host decided it (text, colours,
// tooltip, stale or not, the coins to pick from), read again whenever the
// host replaces its file, which it does only when something shown changes.
// The folder model watches the views' own directory (inotify: nothing is
// polled, no process runs per update); Settings reads the file in place.
import QtQuick 2.15
import Qt.labs.folderlistmodel 2.15
import Qt.labs.settings 1.0
import org.kde.plasma.core 2.0 as PlasmaCore

Item {
    id: reader

    // Empty: the coin the program shows.
    property string coinId: ""
    readonly property string fileName: (/^[a-z0-9-]+$/.test(coinId) ? coinId : "shown") + ".ini"
    readonly property var none: ({text: "\u2014", change: "", colorOnLight: "", colorOnDark: "",
        toolTipTitle: "Vantrell", toolTip: "", stale: true, coins: []})
    property var view: none
    property string directory: ""
    property var file: null
    property string lastText: ""

    function load() {
        if (!file)
            return;
        file.sync();
        const text = String(file.value("view", ""));
        if (text === reader.lastText)
            return;
        reader.lastText = text;
        let parsed = null;
        try {
            parsed = JSON.parse(text);
        } catch (e) {
        }
        view = parsed && typeof parsed === "object" ? parsed : none;
    }

    // A Settings object only once its file is known: without one it would
    // stand for the shell's own settings.
    Component {
        id: settingsFile
        Settings {}
    }
    function open() {
        if (file)
            file.destroy();
        file = directory ? settingsFile.createObject(reader, {fileName: directory + "/" + fileName}) : null;
        lastText = "";
        load();
    }
    onDirectoryChanged: open()
    onFileNameChanged: open()

    // The model signals a replacement more than once: one read for them all.
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
                reader.directory = found.substring(0, found.lastIndexOf("/")) + "/panel";
            disconnectSource(sourceName);
        }
    }

    FolderListModel {
        folder: reader.directory ? "file://" + reader.directory : ""
        nameFilters: [reader.fileName]
        showDirs: false
        sortField: FolderListModel.Unsorted
        onDataChanged: reload.restart()
        onCountChanged: reload.restart()
    }
}
