// SPDX-License-Identifier: GPL-3.0-or-later
// The price of the coin the program shows, as text in the panel. The texts,
// their colours and whether they are stale come decided from the view the
// widget host keeps; this file only shows them. A click opens the price list.
import QtQuick 2.15
import QtQuick.Layouts 1.15
import org.kde.plasma.core 2.0 as PlasmaCore
import org.kde.plasma.components 3.0 as PlasmaComponents3
import org.kde.plasma.plasmoid 2.0

Item {
    id: root

    // None while the applet is being removed.
    readonly property var configuration: plasmoid ? plasmoid.configuration : ({})
    readonly property string coinId: configuration.coinId || ""
    readonly property var view: reader.view
    readonly property bool stale: view.stale
    readonly property string shownText: !stale && configuration.showChange && view.change
        ? view.text + "  " + view.change : view.text
    // The theme says whether the panel is light; the widget host chose a colour for each.
    readonly property bool darkPanel: PlasmaCore.Theme.backgroundColor.hslLightness < 0.5
    readonly property color shownColor: !view.colorOnLight ? PlasmaCore.Theme.textColor
        : darkPanel ? view.colorOnDark : view.colorOnLight

    Plasmoid.preferredRepresentation: Plasmoid.compactRepresentation
    Plasmoid.toolTipMainText: view.toolTipTitle
    Plasmoid.toolTipSubText: view.toolTip

    PanelView {
        id: reader
        coinId: root.coinId
    }

    // While shown, the applet holds the panel front ends' bus name (through
    // the widget host, as QML cannot own one), and the program keeps its tray
    // item out; the host also keeps the view's file. One process for as long
    // as the applet is shown (a new one when its coin is changed).
    PlasmaCore.DataSource {
        engine: "executable"
        connectedSources: ["vantrell-widget-host --panel-presence --view ini"
            + (/^[a-z0-9-]+$/.test(root.coinId) ? " --coin " + root.coinId : "")]
    }

    // Opens the program's price list: a start with the link hands it to the
    // running program over the bus (org.freedesktop.Application.Open), or
    // starts the program with its list open. One process per click.
    PlasmaCore.DataSource {
        id: launcher
        engine: "executable"
        onNewData: disconnectSource(sourceName)
    }
    function openPriceList() {
        launcher.connectSource("vantrell vantrell://popover");
    }

    // Shown in place (the full representation is the compact one), so the
    // shell's wrapper with its tooltip and button semantics is not there: the
    // text brings its own.
    Plasmoid.compactRepresentation: MouseArea {
        id: compact
        readonly property bool vertical: plasmoid.formFactor === PlasmaCore.Types.Vertical
        Layout.minimumWidth: vertical ? 0 : label.implicitWidth + PlasmaCore.Units.smallSpacing * 2
        Layout.preferredWidth: Layout.minimumWidth
        Layout.minimumHeight: vertical ? label.implicitHeight : 0
        activeFocusOnTab: true
        onClicked: root.openPriceList()
        Keys.onPressed: {
            if ([Qt.Key_Space, Qt.Key_Enter, Qt.Key_Return, Qt.Key_Select].includes(event.key))
                root.openPriceList();
        }

        // A screen reader hears the tooltip's lines (name, price, change, time),
        // not just the symbol and a number.
        Accessible.role: Accessible.Button
        Accessible.name: (root.view.toolTip || root.view.toolTipTitle).split("\n").join(", ")
        Accessible.onPressAction: root.openPriceList()

        PlasmaCore.ToolTipArea {
            anchors.fill: parent
            mainText: plasmoid.toolTipMainText
            subText: plasmoid.toolTipSubText
            textFormat: Text.PlainText
            location: plasmoid.location
        }

        PlasmaComponents3.Label {
            id: label
            anchors.centerIn: parent
            text: root.shownText
            color: root.shownColor
            // The size of the digital clock's time over its date: 0.56 of the
            // panel's thickness, at most three times the default font's.
            font.pixelSize: compact.vertical ? PlasmaCore.Theme.defaultFont.pixelSize
                : Math.max(PlasmaCore.Theme.defaultFont.pixelSize,
                    Math.round(Math.min(compact.height * 0.56, 3 * PlasmaCore.Theme.defaultFont.pixelSize)))
            opacity: root.stale ? 0.7 : 1
            Accessible.ignored: true
        }
    }

    Plasmoid.fullRepresentation: Plasmoid.compactRepresentation
    // A global shortcut opens the price list, as a click does.
    Plasmoid.onActivated: openPriceList()
}
