// SPDX-License-Identifier: GPL-3.0-or-later
// The coin (by default the one the program shows) and whether the 24-hour
// change follows the price. The coins offered are those the program quotes.
import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC2
import org.kde.kirigami 2.20 as Kirigami

Kirigami.FormLayout {
    id: page
    property string cfg_coinId
    property alias cfg_showChange: showChange.checked

    // The view the applet shows names the coins it can show.
    PanelView {
        id: reader
        coinId: plasmoid.configuration.coinId || ""
    }

    QQC2.ComboBox {
        id: coin
        Kirigami.FormData.label: i18n("Coin:")
        textRole: "label"
        valueRole: "id"
        model: {
            const entries = [{id: "", label: i18n("The one Vantrell shows")}];
            for (const coin of Array.isArray(reader.view.coins) ? reader.view.coins : [])
                entries.push({id: String(coin.id), label: String(coin.name)});
            return entries;
        }
        onActivated: page.cfg_coinId = currentValue
        // The coins come once the view is read.
        onModelChanged: currentIndex = Math.max(0, indexOfValue(page.cfg_coinId))
        Component.onCompleted: currentIndex = Math.max(0, indexOfValue(page.cfg_coinId))
    }
    QQC2.CheckBox {
        id: showChange
        Kirigami.FormData.label: i18n("Show:")
        text: i18n("The 24-hour change after the price")
    }
}
