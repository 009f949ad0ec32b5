// SPDX-License-Identifier: GPL-3.0-or-later
//
// The price of the coin Vantrell shows, as a label in the top bar. Everything
// it shows comes ready made from the snapshot file the program keeps, or the
// widget host's while the program does not run (texts, colours, the moment
// the texts go stale): this file only picks a quote and puts its texts on the
// screen. A click opens the program's price list.
'use strict';

const {Clutter, Gio, GLib, GObject, St} = imports.gi;
const Main = imports.ui.main;
const PanelMenu = imports.ui.panelMenu;
const PopupMenu = imports.ui.popupMenu;

const APP_ID = 'org.vantrell.Vantrell';
const APP_PATH = '/org/vantrell/Vantrell';
const LINK = 'vantrell://popover';
// Owned while the label is shown: the program keeps its tray item out of the
// panel meanwhile.
const PANEL_NAME = 'org.vantrell.PanelFrontEnd';
const SNAPSHOT_DIR = GLib.build_filenamev([GLib.get_user_cache_dir(), 'vantrell']);
// The program's file, and the one the widget host keeps beside it with its
// own prices while the program does not run.
const SNAPSHOT_FILES = ['widget-snapshot.json', 'panel-snapshot.json'];

function readSnapshot(bytes) {
    try {
        const snapshot = JSON.parse(new TextDecoder().decode(bytes));
        return snapshot && typeof snapshot === 'object' ? snapshot : null;
    } catch (e) {
        return null;
    }
}

// Whichever of the two goes stale later.
function laterSnapshot(a, b) {
    if (!a || !b)
        return a || b;
    return b.panelStaleAt > a.panelStaleAt ? b : a;
}

// The program's price list: Open of the link on the running instance, or a
// start of the program with the link when none runs.
function openPriceList() {
    Gio.DBus.session.call(APP_ID, APP_PATH, 'org.freedesktop.Application', 'Open',
        new GLib.Variant('(asa{sv})', [[LINK], {}]), null, Gio.DBusCallFlags.NONE, 5000, null,
        (connection, result) => {
            try {
                connection.call_finish(result);
            } catch (e) {
                const app = Gio.DesktopAppInfo.new(`${APP_ID}.desktop`);
                try {
                    if (app)
                        app.launch_uris([LINK], global.create_app_launch_context(0, -1));
                    else
                        GLib.spawn_async(null, ['vantrell', LINK], null, GLib.SpawnFlags.SEARCH_PATH, null);
                } catch (launchError) {
                    logError(launchError, 'Vantrell: cannot start the program');
                }
            }
        });
}

// The menu's lines: the title of the shown coin, then the watchlist.
function menuLines(snapshot, stale) {
    const quotes = snapshot && snapshot.quotes ? snapshot.quotes : {};
    const shown = snapshot ? quotes[snapshot.panelCoinId] : null;
    const title = shown && shown.panel ? (stale ? shown.panel.staleToolTip : shown.panel.toolTip) : '';
    const coins = [];
    for (const id of snapshot && Array.isArray(snapshot.watchlist) ? snapshot.watchlist : []) {
        const quote = quotes[id];
        if (quote && quote.panel)
            coins.push((stale ? quote.panel.staleText : `${quote.panel.text}  ${quote.panel.change}`).trim());
    }
    return {title, coins};
}

const PriceButton = GObject.registerClass(
class PriceButton extends PanelMenu.Button {
    _init() {
        super._init(0.5, 'Vantrell', false);
        this._label = new St.Label({
            text: '\u2014',
            y_align: Clutter.ActorAlign.CENTER,
            style_class: 'vantrell-price',
        });
        this.add_child(this._label);
        // The button is what a screen reader reaches; the label labels it
        // (its name follows the texts in _show).
        this.label_actor = this._label;
        this._snapshots = SNAPSHOT_FILES.map(() => null);
        this._snapshot = null;
        this._staleTimer = 0;
        this._cancellable = new Gio.Cancellable();

        // Each file is replaced by renaming a new one over it: watch for
        // that, not for writes.
        this._files = SNAPSHOT_FILES.map(name => Gio.File.new_for_path(GLib.build_filenamev([SNAPSHOT_DIR, name])));
        this._monitors = this._files.map((file, index) => {
            const monitor = file.monitor_file(Gio.FileMonitorFlags.WATCH_MOVES, null);
            monitor.connect('changed', (m, changed, otherFile, event) => {
                if (event !== Gio.FileMonitorEvent.CHANGED) // CHANGES_DONE_HINT follows a write
                    this._load(index);
            });
            return monitor;
        });
        // A menu without items does not open: it starts with the way to the list.
        this._fillMenu();
        this._files.forEach((file, index) => this._load(index));
    }

    // A left click opens the price list; other buttons the watchlist menu.
    vfunc_event(event) {
        const type = event.type();
        if ((type === Clutter.EventType.BUTTON_PRESS && event.get_button() === Clutter.BUTTON_PRIMARY) ||
            type === Clutter.EventType.TOUCH_BEGIN) {
            this.menu.close();
            openPriceList();
            return Clutter.EVENT_STOP;
        }
        return super.vfunc_event(event);
    }

    _load(index) {
        this._files[index].load_contents_async(this._cancellable, (file, result) => {
            let snapshot = null;
            try {
                const [, contents] = file.load_contents_finish(result);
                snapshot = readSnapshot(contents);
            } catch (e) {
                if (e.matches(Gio.IOErrorEnum, Gio.IOErrorEnum.CANCELLED))
                    return;
            }
            this._snapshots[index] = snapshot;
            this._snapshot = laterSnapshot(this._snapshots[0], this._snapshots[1]);
            this._show();
        });
    }

    _show() {
        if (this._staleTimer) {
            GLib.source_remove(this._staleTimer);
            this._staleTimer = 0;
        }
        const snapshot = this._snapshot;
        const quotes = snapshot && snapshot.quotes ? snapshot.quotes : {};
        const quote = snapshot ? quotes[snapshot.panelCoinId] : null;
        const panel = quote && quote.panel ? quote.panel : null;
        const staleAt = snapshot && typeof snapshot.panelStaleAt === 'number' ? snapshot.panelStaleAt : 0;
        const secondsLeft = staleAt - Math.floor(Date.now() / 1000);
        const stale = !panel || secondsLeft <= 0;

        // Only what changed is set again: most replacements of the file
        // change nothing that is shown, and each change costs the shell a
        // relayout and a repaint of the bar.
        const text = !panel ? '\u2014' : stale ? panel.staleText : panel.text;
        if (this._label.text !== text)
            this._label.text = text;
        // Heard as the coin's name, price, change and time rather than the
        // symbol and a bare number; the menu's title shows the same lines.
        const toolTip = panel ? (stale ? panel.staleToolTip : panel.toolTip) : '';
        const name = toolTip ? toolTip.split('\n').join(', ') : 'Vantrell';
        if (this.accessible_name !== name)
            this.accessible_name = name;
        // The top bar is dark in light mode too.
        const style = !stale && panel.colorOnDark ? `color: ${panel.colorOnDark};` : null;
        if (this._label.get_style() !== style)
            this._label.set_style(style);
        if (stale !== this._label.has_style_class_name('vantrell-stale')) {
            if (stale)
                this._label.add_style_class_name('vantrell-stale');
            else
                this._label.remove_style_class_name('vantrell-stale');
        }
        if (!stale) {
            this._staleTimer = GLib.timeout_add_seconds(GLib.PRIORITY_DEFAULT, secondsLeft + 1, () => {
                this._staleTimer = 0;
                this._show();
                return GLib.SOURCE_REMOVE;
            });
        }
        this._menuLines = menuLines(snapshot, stale);
        if (this.menu.isOpen)
            this._fillMenu();
    }

    // Built when it opens (and again while open when its lines change), not
    // on every replacement of the file.
    _onOpenStateChanged(menu, open) {
        if (open)
            this._fillMenu();
        return super._onOpenStateChanged(menu, open);
    }

    _fillMenu() {
        const lines = this._menuLines || {title: '', coins: []};
        const key = JSON.stringify(lines);
        if (key === this._menuKey)
            return;
        this._menuKey = key;
        this.menu.removeAll();
        if (lines.title) {
            const title = new PopupMenu.PopupMenuItem(lines.title);
            title.setSensitive(false);
            this.menu.addMenuItem(title);
            this.menu.addMenuItem(new PopupMenu.PopupSeparatorMenuItem());
        }
        for (const text of lines.coins) {
            const item = new PopupMenu.PopupMenuItem(text);
            item.connect('activate', () => openPriceList());
            this.menu.addMenuItem(item);
        }
        const open = new PopupMenu.PopupMenuItem('Vantrell');
        open.connect('activate', () => openPriceList());
        this.menu.addMenuItem(open);
    }

    destroy() {
        this._cancellable.cancel();
        if (this._staleTimer)
            GLib.source_remove(this._staleTimer);
        this._staleTimer = 0;
        this._monitors.forEach(monitor => monitor.cancel());
        super.destroy();
    }
});

class Extension {
    enable() {
        this._button = new PriceButton();
        Main.panel.addToStatusArea('vantrell-price', this._button, 0, 'right');
        this._nameId = Gio.bus_own_name(Gio.BusType.SESSION, PANEL_NAME, Gio.BusNameOwnerFlags.NONE,
            null, null, null);
        // The widget host keeps the panel's own prices while the program does
        // not run; it lives as long as its stdin stays open: one process for
        // as long as the label is shown.
        try {
            this._host = Gio.Subprocess.new(['vantrell-widget-host', '--panel-presence'],
                Gio.SubprocessFlags.STDIN_PIPE);
        } catch (e) {
            this._host = null;
            logError(e, 'Vantrell: no widget host, the label shows the program\'s prices only');
        }
    }

    disable() {
        if (this._host) {
            this._host.get_stdin_pipe().close(null);
            this._host = null;
        }
        if (this._nameId)
            Gio.bus_unown_name(this._nameId);
        this._nameId = 0;
        this._button.destroy();
        this._button = null;
    }
}

function init() {
    return new Extension();
}
