<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<!-- Maintained by hand: messages are looked up by id. Never run lupdate over this file. -->
<context>
    <name></name>
    <message id="menu.change">
        <source>Change Coin</source>
        <translation>Change Coin</translation>
    </message>
    <message id="menu.setting">
        <source>Settings…</source>
        <translation>Settings…</translation>
    </message>
    <message id="menu.about">
        <source>About Vantrell</source>
        <translation>About Vantrell</translation>
    </message>
    <message id="menu.checkForUpdates">
        <source>Check for Updates…</source>
        <translation>Check for Updates…</translation>
    </message>
    <message id="menu.quit">
        <source>Quit Vantrell</source>
        <translation>Quit Vantrell</translation>
    </message>
    <message id="window.settings.title">
        <source>Vantrell Settings</source>
        <translation>Vantrell Settings</translation>
    </message>
    <message id="nav.general">
        <source>General</source>
        <translation>General</translation>
    </message>
    <message id="nav.watchlist">
        <source>Watchlist</source>
        <translation>Watchlist</translation>
    </message>
    <message id="nav.about">
        <source>About</source>
        <translation>About</translation>
    </message>
    <message id="popover.settings.help">
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message id="popover.watchlist">
        <source>Edit Watchlist</source>
        <translation>Edit Watchlist</translation>
    </message>
    <message id="popover.watchlist.help">
        <source>Add, remove and reorder your coins</source>
        <translation>Add, remove and reorder your coins</translation>
    </message>
    <message id="popover.quit">
        <source>Quit Vantrell</source>
        <translation>Quit Vantrell</translation>
    </message>
    <message id="popover.updateAvailable">
        <source>Update Available</source>
        <translation>Update Available</translation>
    </message>
    <message id="popover.updateAvailable.help">
        <source>A new version of Vantrell is available. Click to see what’s new.</source>
        <translation>A new version of Vantrell is available. Click to see what’s new.</translation>
    </message>
    <message id="popover.empty">
        <source>Your watchlist is empty</source>
        <translation>Your watchlist is empty</translation>
    </message>
    <message id="popover.addCoins">
        <source>Add Coins</source>
        <translation>Add Coins</translation>
    </message>
    <message id="popover.stale">
        <source>Updated %1</source>
        <extracomment>Beside the title when the prices are more than five minutes old; %1: time of day such as 2:05 PM</extracomment>
        <translation>Updated %1</translation>
    </message>
    <message id="popover.stale.help">
        <source>Prices are more than five minutes old. Last update: %1</source>
        <extracomment>%1: time of day such as 2:05 PM</extracomment>
        <translation>Prices are more than five minutes old. Last update: %1</translation>
    </message>
    <message id="coin.status.delisted">
        <source>Delisted</source>
        <translation>Delisted</translation>
    </message>
    <message id="watchlist.recommended">
        <source>Popular</source>
        <translation>Popular</translation>
    </message>
    <message id="watchlist.added">
        <source>Your Coins</source>
        <translation>Your Coins</translation>
    </message>
    <message id="watchlist.alert">
        <source>Price Alert</source>
        <translation>Price Alert</translation>
    </message>
    <message id="watchlist.empty">
        <source>No coins yet. Pick a popular one above or click Add Coin.</source>
        <translation>No coins yet. Pick a popular one above or click Add Coin.</translation>
    </message>
    <message id="watchlist.reorder">
        <source>Drag to reorder</source>
        <translation>Drag to reorder</translation>
    </message>
    <message id="watchlist.delete">
        <source>Remove from watchlist</source>
        <translation>Remove from watchlist</translation>
    </message>
    <message id="watchlist.addCoin">
        <source>Add Coin</source>
        <translation>Add Coin</translation>
    </message>
    <message id="watchlist.search.placeholder">
        <source>Search name or symbol</source>
        <translation>Search name or symbol</translation>
    </message>
    <message id="watchlist.search.clear">
        <source>Clear search</source>
        <translation>Clear search</translation>
    </message>
    <message id="watchlist.search.noResults">
        <source>No matching coins</source>
        <translation>No matching coins</translation>
    </message>
    <message id="alertKind.above">
        <source>Above</source>
        <translation>Above</translation>
    </message>
    <message id="alertKind.below">
        <source>Below</source>
        <translation>Below</translation>
    </message>
    <message id="alertKind.change">
        <source>Change</source>
        <translation>Change</translation>
    </message>
    <message id="alertKind.notSet">
        <source>Off</source>
        <translation>Off</translation>
    </message>
    <message id="general.section.launch">
        <source>Startup</source>
        <translation>Startup</translation>
    </message>
    <message id="general.launch.atLogin">
        <source>Start Vantrell when you log in</source>
        <translation>Start Vantrell when you log in</translation>
    </message>
    <message id="general.section.menubar">
        <source>Panel</source>
        <translation>Panel</translation>
    </message>
    <message id="general.display.menubarContent">
        <source>Show in panel</source>
        <translation>Show in panel</translation>
    </message>
    <message id="menubarContent.price">
        <source>Price</source>
        <translation>Price</translation>
    </message>
    <message id="menubarContent.icon">
        <source>Icon</source>
        <translation>Icon</translation>
    </message>
    <message id="general.display.menubarCoin">
        <source>Coin shown</source>
        <translation>Coin shown</translation>
    </message>
    <message id="general.display.menubarCoin.hint">
        <source>Add coins to your watchlist first</source>
        <translation>Add coins to your watchlist first</translation>
    </message>
    <message id="general.display.textColor">
        <source>Color prices by 24h change</source>
        <translation>Color prices by 24h change</translation>
    </message>
    <message id="general.display.colorScheme">
        <source>Color scheme</source>
        <translation>Color scheme</translation>
    </message>
    <message id="colorScheme.greenUpRedDown">
        <source>Green up, red down</source>
        <translation>Green up, red down</translation>
    </message>
    <message id="colorScheme.redUpGreenDown">
        <source>Red up, green down</source>
        <translation>Red up, green down</translation>
    </message>
    <message id="colorScheme.custom">
        <source>Custom</source>
        <translation>Custom</translation>
    </message>
    <message id="general.priceColor.upColor">
        <source>Rise</source>
        <translation>Rise</translation>
    </message>
    <message id="general.priceColor.downColor">
        <source>Fall</source>
        <translation>Fall</translation>
    </message>
    <message id="general.display.textBackground">
        <source>Show price on a colored background</source>
        <translation>Show price on a colored background</translation>
    </message>
    <message id="general.section.desktop">
        <source>Desktop</source>
        <translation>Desktop</translation>
    </message>
    <message id="desktop.show">
        <source>Show prices on the desktop</source>
        <translation>Show prices on the desktop</translation>
    </message>
    <message id="desktop.textSize">
        <source>Text size</source>
        <translation>Text size</translation>
    </message>
    <message id="desktop.textSize.normal">
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message id="desktop.textSize.large">
        <source>Large</source>
        <translation>Large</translation>
    </message>
    <message id="desktop.opacity">
        <source>Background opacity</source>
        <translation>Background opacity</translation>
    </message>
    <message id="desktop.adjust">
        <source>Adjust Position…</source>
        <translation>Adjust Position…</translation>
    </message>
    <message id="desktop.adjust.hint">
        <source>Drag to move, then click Done</source>
        <translation>Drag to move, then click Done</translation>
    </message>
    <message id="desktop.adjust.done">
        <source>Done</source>
        <translation>Done</translation>
    </message>
    <message id="general.section.prices">
        <source>Prices</source>
        <translation>Prices</translation>
    </message>
    <message id="general.display.currency">
        <source>Currency</source>
        <translation>Currency</translation>
    </message>
    <message id="general.charts.show">
        <source>Show 24-hour charts</source>
        <translation>Show 24-hour charts</translation>
    </message>
    <message id="desktop.charts">
        <source>Show 24-hour charts on the desktop</source>
        <translation>Show 24-hour charts on the desktop</translation>
    </message>
    <message id="chart.name">
        <source>24-hour chart of %1</source>
        <extracomment>Accessible name of a coin's chart; %1: coin name such as Bitcoin</extracomment>
        <translation>24-hour chart of %1</translation>
    </message>
    <message id="chart.high">
        <source>High %1 at %2</source>
        <extracomment>%1: price such as $44,100; %2: time of day such as 1:45 PM</extracomment>
        <translation>High %1 at %2</translation>
    </message>
    <message id="chart.low">
        <source>Low %1 at %2</source>
        <extracomment>%1: price such as $42,900; %2: time of day such as 2:15 AM</extracomment>
        <translation>Low %1 at %2</translation>
    </message>
    <message id="chart.change">
        <source>24-hour change %1.</source>
        <extracomment>%1: change such as +2.31%</extracomment>
        <translation>24-hour change %1.</translation>
    </message>
    <message id="popover.row.chart.help">
        <source>Show or hide the 24-hour chart</source>
        <translation>Show or hide the 24-hour chart</translation>
    </message>
    <message id="general.section.notification">
        <source>Notifications</source>
        <translation>Notifications</translation>
    </message>
    <message id="general.notification.priceAlert">
        <source>Price alert notifications</source>
        <translation>Price alert notifications</translation>
    </message>
    <message id="general.section.language">
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message id="general.language.label">
        <source>Interface language</source>
        <translation>Interface language</translation>
    </message>
    <message id="lang.system">
        <source>System Default</source>
        <translation>System Default</translation>
    </message>
    <message id="lang.endonym.en">
        <source>English</source>
        <extracomment>The language's own name: the same in every table.</extracomment>
        <translation>English</translation>
    </message>
    <message id="lang.endonym.zh-Hans">
        <source>简体中文</source>
        <extracomment>The language's own name: the same in every table.</extracomment>
        <translation>简体中文</translation>
    </message>
    <message id="lang.endonym.zh-Hant">
        <source>繁體中文</source>
        <extracomment>The language's own name: the same in every table.</extracomment>
        <translation>繁體中文</translation>
    </message>
    <message id="about.version">
        <source>Version %1</source>
        <extracomment>%1: the version number, e.g. 1.4.0</extracomment>
        <translation>Version %1</translation>
    </message>
    <message id="about.slogan">
        <source>Crypto prices at a glance</source>
        <translation>Crypto prices at a glance</translation>
    </message>
    <message id="about.section.updates">
        <source>Updates</source>
        <translation>Updates</translation>
    </message>
    <message id="about.updates.automatic">
        <source>Check for updates automatically</source>
        <translation>Check for updates automatically</translation>
    </message>
    <message id="about.section.contact">
        <source>Contact</source>
        <translation>Contact</translation>
    </message>
    <message id="about.contact.email">
        <source>Email: </source>
        <extracomment>The e-mail address follows directly; keep the separator at the end.</extracomment>
        <translation>Email: </translation>
    </message>
    <message id="about.section.dataSources">
        <source>Data Sources</source>
        <translation>Data Sources</translation>
    </message>
    <message id="about.dataSource.price">
        <source>Prices from Binance, OKX, Bybit, Coinbase Exchange and Kraken</source>
        <translation>Prices from Binance, OKX, Bybit, Coinbase Exchange and Kraken</translation>
    </message>
    <message id="about.dataSource.coinInfo">
        <source>Coin information from CoinGecko</source>
        <translation>Coin information from CoinGecko</translation>
    </message>
    <message id="about.dataSource.exchangeRate">
        <source>Currency exchange rates</source>
        <translation>Currency exchange rates</translation>
    </message>
    <message id="about.section.opensource">
        <source>Open Source</source>
        <translation>Open Source</translation>
    </message>
    <message id="about.opensource.view">
        <source>View</source>
        <translation>View</translation>
    </message>
    <message id="notification.priceAlert.title">
        <source>%1 Price Alert</source>
        <extracomment>%1: coin name</extracomment>
        <translation>%1 Price Alert</translation>
    </message>
    <message id="notification.priceAlert.above">
        <source>%1 rose above %2 — now %3</source>
        <extracomment>%1: coin symbol, %2: alert price with currency sign, %3: current price</extracomment>
        <translation>%1 rose above %2 — now %3</translation>
    </message>
    <message id="notification.priceAlert.below">
        <source>%1 fell below %2 — now %3</source>
        <extracomment>%1: coin symbol, %2: alert price with currency sign, %3: current price</extracomment>
        <translation>%1 fell below %2 — now %3</translation>
    </message>
    <message id="notification.priceAlert.change">
        <source>%1 is %2 %3 — now %4</source>
        <extracomment>%1: coin symbol, %2: notification.direction.up or .down, %3: percentage such as 2.35%, %4: current price</extracomment>
        <translation>%1 is %2 %3 — now %4</translation>
    </message>
    <message id="notification.priceAlert.notSet">
        <source>%1 is now %2</source>
        <extracomment>%1: coin symbol, %2: current price</extracomment>
        <translation>%1 is now %2</translation>
    </message>
    <message id="notification.direction.up">
        <source>up</source>
        <extracomment>Fills %2 of notification.priceAlert.change</extracomment>
        <translation>up</translation>
    </message>
    <message id="notification.direction.down">
        <source>down</source>
        <extracomment>Fills %2 of notification.priceAlert.change</extracomment>
        <translation>down</translation>
    </message>
    <message id="notification.action.open">
        <source>Show Prices</source>
        <extracomment>Action of a price alert notification; opens the popover</extracomment>
        <translation>Show Prices</translation>
    </message>
    <message id="widget.list.title">
        <source>Watchlist</source>
        <translation>Watchlist</translation>
    </message>
    <message id="widget.empty">
        <source>No prices yet</source>
        <translation>No prices yet</translation>
    </message>
    <message id="widget.list.name">
        <source>Watchlist</source>
        <translation>Watchlist</translation>
    </message>
    <message id="widget.list.description">
        <source>Prices and 24-hour changes of your coins.</source>
        <translation>Prices and 24-hour changes of your coins.</translation>
    </message>
    <message id="widget.price.name">
        <source>Coin Price</source>
        <translation>Coin Price</translation>
    </message>
    <message id="widget.price.description">
        <source>Keep an eye on one coin’s price.</source>
        <translation>Keep an eye on one coin’s price.</translation>
    </message>
    <message id="widget.param.source">
        <source>Coins to Show</source>
        <translation>Coins to Show</translation>
    </message>
    <message id="widget.source.watchlist">
        <source>Watchlist</source>
        <translation>Watchlist</translation>
    </message>
    <message id="widget.source.manual">
        <source>Choose Coins</source>
        <translation>Choose Coins</translation>
    </message>
    <message id="widget.param.coins">
        <source>Coins</source>
        <translation>Coins</translation>
    </message>
    <message id="widget.param.sort">
        <source>Sort By</source>
        <translation>Sort By</translation>
    </message>
    <message id="widget.sort.watchlist">
        <source>Watchlist Order</source>
        <translation>Watchlist Order</translation>
    </message>
    <message id="widget.sort.changeDescending">
        <source>Biggest Gainers First</source>
        <translation>Biggest Gainers First</translation>
    </message>
    <message id="widget.sort.changeAscending">
        <source>Biggest Losers First</source>
        <translation>Biggest Losers First</translation>
    </message>
    <message id="widget.param.currency">
        <source>Currency</source>
        <translation>Currency</translation>
    </message>
    <message id="widget.currency.followApp">
        <source>Same as Vantrell</source>
        <translation>Same as Vantrell</translation>
    </message>
    <message id="widget.param.colorByChange">
        <source>Color by Change</source>
        <translation>Color by Change</translation>
    </message>
    <message id="widget.param.showCharts">
        <source>24-hour charts</source>
        <translation>24-hour charts</translation>
    </message>
    <message id="widget.param.coin">
        <source>Coin</source>
        <translation>Coin</translation>
    </message>
    <message id="widget.coin.followMenuBar">
        <source>Same as Panel</source>
        <translation>Same as Panel</translation>
    </message>
    <message id="widget.family.small">
        <source>Small</source>
        <translation>Small</translation>
    </message>
    <message id="widget.family.medium">
        <source>Medium</source>
        <translation>Medium</translation>
    </message>
    <message id="widget.family.large">
        <source>Large</source>
        <translation>Large</translation>
    </message>
    <message id="widgetHost.menu.add">
        <source>Add Widget…</source>
        <translation>Add Widget…</translation>
    </message>
    <message id="widgetHost.menu.edit">
        <source>Edit Widget…</source>
        <translation>Edit Widget…</translation>
    </message>
    <message id="widgetHost.menu.remove">
        <source>Remove Widget</source>
        <translation>Remove Widget</translation>
    </message>
    <message id="widgetHost.editor.title">
        <source>Widget Options</source>
        <translation>Widget Options</translation>
    </message>
    <message id="update.window.title">
        <source>Software Update</source>
        <translation>Software Update</translation>
    </message>
    <message id="update.available.title">
        <source>A new version of Vantrell is available</source>
        <translation>A new version of Vantrell is available</translation>
    </message>
    <message id="update.available.message">
        <source>Vantrell %1 is available — you have %2. Would you like to download it now?</source>
        <extracomment>%1: the new version, %2: the installed version</extracomment>
        <translation>Vantrell %1 is available — you have %2. Would you like to download it now?</translation>
    </message>
    <message id="update.available.download">
        <source>Download</source>
        <translation>Download</translation>
    </message>
    <message id="update.available.later">
        <source>Remind Me Later</source>
        <translation>Remind Me Later</translation>
    </message>
    <message id="update.available.skip">
        <source>Skip This Version</source>
        <translation>Skip This Version</translation>
    </message>
    <message id="update.upToDate.title">
        <source>You’re up to date</source>
        <translation>You’re up to date</translation>
    </message>
    <message id="update.upToDate.message">
        <source>Vantrell %1 is the newest version available.</source>
        <extracomment>%1: the installed version</extracomment>
        <translation>Vantrell %1 is the newest version available.</translation>
    </message>
    <message id="update.error.title">
        <source>Update Check Failed</source>
        <translation>Update Check Failed</translation>
    </message>
    <message id="update.error.message">
        <source>Vantrell couldn’t reach the update server. Please try again later.</source>
        <translation>Vantrell couldn’t reach the update server. Please try again later.</translation>
    </message>
    <message id="tray.fallbackWindow.title">
        <source>Vantrell Prices</source>
        <extracomment>Title of the window shown instead of the popover when the desktop has no tray</extracomment>
        <translation>Vantrell Prices</translation>
    </message>
    <message id="tray.tooltip.change24h">
        <source>24h change: %1</source>
        <extracomment>%1: change such as +2.31%</extracomment>
        <translation>24h change: %1</translation>
    </message>
    <message id="tray.tooltip.stale">
        <source>Prices are stale, last update %1</source>
        <extracomment>Tooltip line when the prices are more than five minutes old; %1: time of day such as 2:05 PM</extracomment>
        <translation>Prices are stale, last update %1</translation>
    </message>
    <message id="market.networkRefused">
        <source>The exchanges refuse connections from this network.</source>
        <extracomment>In the price list header and the panel tooltip when every exchange refuses this network (HTTP 451 or a blocking page)</extracomment>
        <translation>The exchanges refuse connections from this network.</translation>
    </message>
    <message id="popover.row.source">
        <source>Price from %1</source>
        <extracomment>Tooltip of a price list row; %1: exchange name such as OKX or Kraken</extracomment>
        <translation>Price from %1</translation>
    </message>
    <message id="common.ok">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="common.cancel">
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message id="common.close">
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message id="widgetHost.menu.quit">
        <source>Quit Vantrell Widgets</source>
        <translation>Quit Vantrell Widgets</translation>
    </message>
    <message id="widgetHost.gallery.title">
        <source>Add Widget</source>
        <translation>Add Widget</translation>
    </message>
    <message id="widgetHost.gallery.add">
        <source>Click to place this widget on the desktop</source>
        <translation>Click to place this widget on the desktop</translation>
    </message>
    <message id="widgetHost.editor.search">
        <source>Search coins</source>
        <translation>Search coins</translation>
    </message>
    <message id="widgetHost.editor.addCoin">
        <source>Add</source>
        <translation>Add</translation>
    </message>
    <message id="widgetHost.editor.removeCoin">
        <source>Remove</source>
        <translation>Remove</translation>
    </message>
    <message id="widgetHost.editor.limit">
        <source>%1 of %2 coins · drag to reorder</source>
        <translation>%1 of %2 coins · drag to reorder</translation>
    </message>
    <message id="widgetHost.editor.done">
        <source>Done</source>
        <translation>Done</translation>
    </message>
    <message id="watchlist.holding">
        <source>Holding</source>
        <extracomment>Column caption and field name: how many coins the user holds</extracomment>
        <translation>Holding</translation>
    </message>
    <message id="watchlist.holding.placeholder">
        <source>Amount</source>
        <extracomment>Placeholder of the empty holding field</extracomment>
        <translation>Amount</translation>
    </message>
    <message id="watchlist.holding.help">
        <source>How many coins you hold; leave empty for none</source>
        <translation>How many coins you hold; leave empty for none</translation>
    </message>
    <message id="watchlist.averageCost">
        <source>Avg. Cost</source>
        <extracomment>Column caption and field name: average price paid per coin</extracomment>
        <translation>Avg. Cost</translation>
    </message>
    <message id="watchlist.averageCost.placeholder">
        <source>Not set</source>
        <extracomment>Placeholder of the empty average cost field</extracomment>
        <translation>Not set</translation>
    </message>
    <message id="watchlist.averageCost.help">
        <source>Average price you paid per coin, in the display currency</source>
        <translation>Average price you paid per coin, in the display currency</translation>
    </message>
    <message id="popover.holdings.title">
        <source>Holdings</source>
        <extracomment>Name of the popover's total value, for screen readers</extracomment>
        <translation>Holdings</translation>
    </message>
    <message id="popover.holdings.hidden">
        <source>hidden</source>
        <extracomment>Read by screen readers in place of a hidden amount</extracomment>
        <translation>hidden</translation>
    </message>
    <message id="popover.holdings.today">
        <source>%1 today</source>
        <extracomment>%1: change of the holdings' value such as +$588 (+2.00%)</extracomment>
        <translation>%1 today</translation>
    </message>
    <message id="popover.holdings.gain">
        <source>%1 vs. cost</source>
        <extracomment>%1: gain or loss against the average costs such as +$5,000 (+20.00%)</extracomment>
        <translation>%1 vs. cost</translation>
    </message>
    <message id="popover.hideBalances">
        <source>Hide balances</source>
        <extracomment>Tooltip of the eye button in the popover</extracomment>
        <translation>Hide balances</translation>
    </message>
    <message id="popover.showBalances">
        <source>Show balances</source>
        <extracomment>Tooltip of the struck eye button in the popover</extracomment>
        <translation>Show balances</translation>
    </message>
    <message id="holdings.pricedCount">
        <source>%1 of %2 coins priced</source>
        <extracomment>%1: held coins with a price; %2: all held coins</extracomment>
        <translation>%1 of %2 coins priced</translation>
    </message>
    <message id="tray.tooltip.holdings">
        <source>Holdings: %1 (%2 today)</source>
        <extracomment>%1: total value such as $12,346; %2: its 24-hour change such as +2.10%</extracomment>
        <translation>Holdings: %1 (%2 today)</translation>
    </message>
    <message id="tray.tooltip.holdingsNoChange">
        <source>Holdings: %1</source>
        <extracomment>%1: total value such as $12,346</extracomment>
        <translation>Holdings: %1</translation>
    </message>
    <message id="general.hideBalances">
        <source>Hide balances</source>
        <extracomment>Checkbox in the General tab</extracomment>
        <translation>Hide balances</translation>
    </message>
    <message id="general.hideBalances.help">
        <source>Show the value of your holdings as •••• everywhere; prices stay visible</source>
        <translation>Show the value of your holdings as •••• everywhere; prices stay visible</translation>
    </message>
    <message id="widget.param.showHoldings">
        <source>Show Holdings Total</source>
        <extracomment>Option of the watchlist widget</extracomment>
        <translation>Show Holdings Total</translation>
    </message>
</context>
</TS>
