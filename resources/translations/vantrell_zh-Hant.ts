<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW" sourcelanguage="en">
<!-- Maintained by hand: messages are looked up by id. Never run lupdate over this file. -->
<context>
    <name></name>
    <message id="menu.change">
        <source>Change Coin</source>
        <translation>切換幣種</translation>
    </message>
    <message id="menu.setting">
        <source>Settings…</source>
        <translation>設定…</translation>
    </message>
    <message id="menu.about">
        <source>About Vantrell</source>
        <translation>關於 Vantrell</translation>
    </message>
    <message id="menu.checkForUpdates">
        <source>Check for Updates…</source>
        <translation>檢查更新…</translation>
    </message>
    <message id="menu.quit">
        <source>Quit Vantrell</source>
        <translation>結束 Vantrell</translation>
    </message>
    <message id="window.settings.title">
        <source>Vantrell Settings</source>
        <translation>Vantrell 設定</translation>
    </message>
    <message id="nav.general">
        <source>General</source>
        <translation>一般</translation>
    </message>
    <message id="nav.watchlist">
        <source>Watchlist</source>
        <translation>觀察清單</translation>
    </message>
    <message id="nav.about">
        <source>About</source>
        <translation>關於</translation>
    </message>
    <message id="popover.settings.help">
        <source>Settings</source>
        <translation>設定</translation>
    </message>
    <message id="popover.watchlist">
        <source>Edit Watchlist</source>
        <translation>編輯觀察清單</translation>
    </message>
    <message id="popover.watchlist.help">
        <source>Add, remove and reorder your coins</source>
        <translation>新增、移除或排序觀察清單中的幣種</translation>
    </message>
    <message id="popover.quit">
        <source>Quit Vantrell</source>
        <translation>結束 Vantrell</translation>
    </message>
    <message id="popover.updateAvailable">
        <source>Update Available</source>
        <translation>有新版本</translation>
    </message>
    <message id="popover.updateAvailable.help">
        <source>A new version of Vantrell is available. Click to see what’s new.</source>
        <translation>Vantrell 推出了新版本，點選以查看詳情。</translation>
    </message>
    <message id="popover.empty">
        <source>Your watchlist is empty</source>
        <translation>觀察清單目前是空的</translation>
    </message>
    <message id="popover.addCoins">
        <source>Add Coins</source>
        <translation>新增幣種</translation>
    </message>
    <message id="popover.stale">
        <source>Updated %1</source>
        <extracomment>Beside the title when the prices are more than five minutes old; %1: time of day such as 2:05 PM</extracomment>
        <translation>更新於 %1</translation>
    </message>
    <message id="popover.stale.help">
        <source>Prices are more than five minutes old. Last update: %1</source>
        <extracomment>%1: time of day such as 2:05 PM</extracomment>
        <translation>價格已超過五分鐘未更新。最後更新：%1</translation>
    </message>
    <message id="coin.status.delisted">
        <source>Delisted</source>
        <translation>已下架</translation>
    </message>
    <message id="watchlist.recommended">
        <source>Popular</source>
        <translation>熱門</translation>
    </message>
    <message id="watchlist.added">
        <source>Your Coins</source>
        <translation>我的觀察清單</translation>
    </message>
    <message id="watchlist.alert">
        <source>Price Alert</source>
        <translation>價格提醒</translation>
    </message>
    <message id="watchlist.empty">
        <source>No coins yet. Pick a popular one above or click Add Coin.</source>
        <translation>尚未加入任何幣種。可從上方熱門中挑選，或點選「新增幣種」。</translation>
    </message>
    <message id="watchlist.reorder">
        <source>Drag to reorder</source>
        <translation>拖曳以調整順序</translation>
    </message>
    <message id="watchlist.delete">
        <source>Remove from watchlist</source>
        <translation>從觀察清單移除</translation>
    </message>
    <message id="watchlist.addCoin">
        <source>Add Coin</source>
        <translation>新增幣種</translation>
    </message>
    <message id="watchlist.search.placeholder">
        <source>Search name or symbol</source>
        <translation>搜尋名稱或代號</translation>
    </message>
    <message id="watchlist.search.clear">
        <source>Clear search</source>
        <translation>清除搜尋</translation>
    </message>
    <message id="watchlist.search.noResults">
        <source>No matching coins</source>
        <translation>找不到符合的幣種</translation>
    </message>
    <message id="alertKind.above">
        <source>Above</source>
        <translation>高於</translation>
    </message>
    <message id="alertKind.below">
        <source>Below</source>
        <translation>低於</translation>
    </message>
    <message id="alertKind.change">
        <source>Change</source>
        <translation>漲跌幅</translation>
    </message>
    <message id="alertKind.notSet">
        <source>Off</source>
        <translation>不提醒</translation>
    </message>
    <message id="general.section.launch">
        <source>Startup</source>
        <translation>啟動</translation>
    </message>
    <message id="general.launch.atLogin">
        <source>Start Vantrell when you log in</source>
        <translation>登入時啟動 Vantrell</translation>
    </message>
    <message id="general.section.menubar">
        <source>Panel</source>
        <translation>面板</translation>
    </message>
    <message id="general.display.menubarContent">
        <source>Show in panel</source>
        <translation>面板顯示</translation>
    </message>
    <message id="menubarContent.price">
        <source>Price</source>
        <translation>價格</translation>
    </message>
    <message id="menubarContent.icon">
        <source>Icon</source>
        <translation>圖示</translation>
    </message>
    <message id="general.display.menubarCoin">
        <source>Coin shown</source>
        <translation>顯示的幣種</translation>
    </message>
    <message id="general.display.menubarCoin.hint">
        <source>Add coins to your watchlist first</source>
        <translation>請先在觀察清單中加入幣種</translation>
    </message>
    <message id="general.display.textColor">
        <source>Color prices by 24h change</source>
        <translation>依 24 小時漲跌顯示顏色</translation>
    </message>
    <message id="general.display.colorScheme">
        <source>Color scheme</source>
        <translation>漲跌配色</translation>
    </message>
    <message id="colorScheme.greenUpRedDown">
        <source>Green up, red down</source>
        <translation>綠漲紅跌</translation>
    </message>
    <message id="colorScheme.redUpGreenDown">
        <source>Red up, green down</source>
        <translation>紅漲綠跌</translation>
    </message>
    <message id="colorScheme.custom">
        <source>Custom</source>
        <translation>自訂</translation>
    </message>
    <message id="general.priceColor.upColor">
        <source>Rise</source>
        <translation>上漲</translation>
    </message>
    <message id="general.priceColor.downColor">
        <source>Fall</source>
        <translation>下跌</translation>
    </message>
    <message id="general.display.textBackground">
        <source>Show price on a colored background</source>
        <translation>為價格加上背景色</translation>
    </message>
    <message id="general.section.desktop">
        <source>Desktop</source>
        <translation>桌面</translation>
    </message>
    <message id="desktop.show">
        <source>Show prices on the desktop</source>
        <translation>在桌面上顯示行情</translation>
    </message>
    <message id="desktop.textSize">
        <source>Text size</source>
        <translation>文字大小</translation>
    </message>
    <message id="desktop.textSize.normal">
        <source>Normal</source>
        <translation>標準</translation>
    </message>
    <message id="desktop.textSize.large">
        <source>Large</source>
        <translation>較大</translation>
    </message>
    <message id="desktop.opacity">
        <source>Background opacity</source>
        <translation>背景不透明度</translation>
    </message>
    <message id="desktop.adjust">
        <source>Adjust Position…</source>
        <translation>調整位置…</translation>
    </message>
    <message id="desktop.adjust.hint">
        <source>Drag to move, then click Done</source>
        <translation>拖曳到合適的位置，再點選「完成」</translation>
    </message>
    <message id="desktop.adjust.done">
        <source>Done</source>
        <translation>完成</translation>
    </message>
    <message id="general.section.prices">
        <source>Prices</source>
        <translation>價格</translation>
    </message>
    <message id="general.display.currency">
        <source>Currency</source>
        <translation>計價幣別</translation>
    </message>
    <message id="general.charts.show">
        <source>Show 24-hour charts</source>
        <translation>顯示24小時走勢圖</translation>
    </message>
    <message id="desktop.charts">
        <source>Show 24-hour charts on the desktop</source>
        <translation>在桌面顯示24小時走勢圖</translation>
    </message>
    <message id="chart.name">
        <source>24-hour chart of %1</source>
        <extracomment>Accessible name of a coin's chart; %1: coin name such as Bitcoin</extracomment>
        <translation>%1 的24小時走勢圖</translation>
    </message>
    <message id="chart.high">
        <source>High %1 at %2</source>
        <extracomment>%1: price such as $44,100; %2: time of day such as 1:45 PM</extracomment>
        <translation>最高 %1（%2）</translation>
    </message>
    <message id="chart.low">
        <source>Low %1 at %2</source>
        <extracomment>%1: price such as $42,900; %2: time of day such as 2:15 AM</extracomment>
        <translation>最低 %1（%2）</translation>
    </message>
    <message id="chart.change">
        <source>24-hour change %1.</source>
        <extracomment>%1: change such as +2.31%</extracomment>
        <translation>24小時漲跌 %1。</translation>
    </message>
    <message id="popover.row.chart.help">
        <source>Show or hide the 24-hour chart</source>
        <translation>顯示或隱藏24小時走勢圖</translation>
    </message>
    <message id="general.section.notification">
        <source>Notifications</source>
        <translation>通知</translation>
    </message>
    <message id="general.notification.priceAlert">
        <source>Price alert notifications</source>
        <translation>價格提醒通知</translation>
    </message>
    <message id="general.section.language">
        <source>Language</source>
        <translation>語言</translation>
    </message>
    <message id="general.language.label">
        <source>Interface language</source>
        <translation>介面語言</translation>
    </message>
    <message id="lang.system">
        <source>System Default</source>
        <translation>系統預設</translation>
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
        <translation>版本 %1</translation>
    </message>
    <message id="about.slogan">
        <source>Crypto prices at a glance</source>
        <translation>加密貨幣行情，一目瞭然</translation>
    </message>
    <message id="about.section.updates">
        <source>Updates</source>
        <translation>更新</translation>
    </message>
    <message id="about.updates.automatic">
        <source>Check for updates automatically</source>
        <translation>自動檢查更新</translation>
    </message>
    <message id="about.section.contact">
        <source>Contact</source>
        <translation>聯絡我們</translation>
    </message>
    <message id="about.contact.email">
        <source>Email: </source>
        <extracomment>The e-mail address follows directly; keep the separator at the end.</extracomment>
        <translation>電子郵件：</translation>
    </message>
    <message id="about.section.dataSources">
        <source>Data Sources</source>
        <translation>資料來源</translation>
    </message>
    <message id="about.dataSource.price">
        <source>Prices from Binance, OKX, Bybit, Coinbase Exchange and Kraken</source>
        <translation>行情來自 Binance、OKX、Bybit、Coinbase Exchange 與 Kraken</translation>
    </message>
    <message id="about.dataSource.coinInfo">
        <source>Coin information from CoinGecko</source>
        <translation>幣種資訊來自 CoinGecko</translation>
    </message>
    <message id="about.dataSource.exchangeRate">
        <source>Currency exchange rates</source>
        <translation>法幣匯率</translation>
    </message>
    <message id="about.section.opensource">
        <source>Open Source</source>
        <translation>開放原始碼元件</translation>
    </message>
    <message id="about.opensource.view">
        <source>View</source>
        <translation>檢視</translation>
    </message>
    <message id="notification.priceAlert.title">
        <source>%1 Price Alert</source>
        <extracomment>%1: coin name</extracomment>
        <translation>%1 價格提醒</translation>
    </message>
    <message id="notification.priceAlert.above">
        <source>%1 rose above %2 — now %3</source>
        <extracomment>%1: coin symbol, %2: alert price with currency sign, %3: current price</extracomment>
        <translation>%1 已漲破 %2，現價 %3</translation>
    </message>
    <message id="notification.priceAlert.below">
        <source>%1 fell below %2 — now %3</source>
        <extracomment>%1: coin symbol, %2: alert price with currency sign, %3: current price</extracomment>
        <translation>%1 已跌破 %2，現價 %3</translation>
    </message>
    <message id="notification.priceAlert.change">
        <source>%1 is %2 %3 — now %4</source>
        <extracomment>%1: coin symbol, %2: notification.direction.up or .down, %3: percentage such as 2.35%, %4: current price</extracomment>
        <translation>%1 %2 %3，現價 %4</translation>
    </message>
    <message id="notification.priceAlert.notSet">
        <source>%1 is now %2</source>
        <extracomment>%1: coin symbol, %2: current price</extracomment>
        <translation>%1 現價 %2</translation>
    </message>
    <message id="notification.direction.up">
        <source>up</source>
        <extracomment>Fills %2 of notification.priceAlert.change</extracomment>
        <translation>上漲</translation>
    </message>
    <message id="notification.direction.down">
        <source>down</source>
        <extracomment>Fills %2 of notification.priceAlert.change</extracomment>
        <translation>下跌</translation>
    </message>
    <message id="notification.action.open">
        <source>Show Prices</source>
        <extracomment>Action of a price alert notification; opens the popover</extracomment>
        <translation>查看行情</translation>
    </message>
    <message id="widget.list.title">
        <source>Watchlist</source>
        <translation>觀察清單</translation>
    </message>
    <message id="widget.empty">
        <source>No prices yet</source>
        <translation>尚無行情</translation>
    </message>
    <message id="widget.list.name">
        <source>Watchlist</source>
        <translation>觀察清單</translation>
    </message>
    <message id="widget.list.description">
        <source>Prices and 24-hour changes of your coins.</source>
        <translation>顯示觀察清單中幣種的價格與 24 小時漲跌。</translation>
    </message>
    <message id="widget.price.name">
        <source>Coin Price</source>
        <translation>幣種價格</translation>
    </message>
    <message id="widget.price.description">
        <source>Keep an eye on one coin’s price.</source>
        <translation>隨時掌握單一幣種的價格。</translation>
    </message>
    <message id="widget.param.source">
        <source>Coins to Show</source>
        <translation>顯示幣種</translation>
    </message>
    <message id="widget.source.watchlist">
        <source>Watchlist</source>
        <translation>觀察清單</translation>
    </message>
    <message id="widget.source.manual">
        <source>Choose Coins</source>
        <translation>手動選擇</translation>
    </message>
    <message id="widget.param.coins">
        <source>Coins</source>
        <translation>幣種</translation>
    </message>
    <message id="widget.param.sort">
        <source>Sort By</source>
        <translation>排序方式</translation>
    </message>
    <message id="widget.sort.watchlist">
        <source>Watchlist Order</source>
        <translation>觀察清單順序</translation>
    </message>
    <message id="widget.sort.changeDescending">
        <source>Biggest Gainers First</source>
        <translation>漲幅由高至低</translation>
    </message>
    <message id="widget.sort.changeAscending">
        <source>Biggest Losers First</source>
        <translation>漲幅由低至高</translation>
    </message>
    <message id="widget.param.currency">
        <source>Currency</source>
        <translation>計價幣別</translation>
    </message>
    <message id="widget.currency.followApp">
        <source>Same as Vantrell</source>
        <translation>與 Vantrell 相同</translation>
    </message>
    <message id="widget.param.colorByChange">
        <source>Color by Change</source>
        <translation>依漲跌顯示顏色</translation>
    </message>
    <message id="widget.param.showCharts">
        <source>24-hour charts</source>
        <translation>24小時走勢圖</translation>
    </message>
    <message id="widget.param.coin">
        <source>Coin</source>
        <translation>幣種</translation>
    </message>
    <message id="widget.coin.followMenuBar">
        <source>Same as Panel</source>
        <translation>與面板相同</translation>
    </message>
    <message id="widget.family.small">
        <source>Small</source>
        <translation>小</translation>
    </message>
    <message id="widget.family.medium">
        <source>Medium</source>
        <translation>中</translation>
    </message>
    <message id="widget.family.large">
        <source>Large</source>
        <translation>大</translation>
    </message>
    <message id="widgetHost.menu.add">
        <source>Add Widget…</source>
        <translation>新增小工具…</translation>
    </message>
    <message id="widgetHost.menu.edit">
        <source>Edit Widget…</source>
        <translation>編輯小工具…</translation>
    </message>
    <message id="widgetHost.menu.remove">
        <source>Remove Widget</source>
        <translation>移除小工具</translation>
    </message>
    <message id="widgetHost.editor.title">
        <source>Widget Options</source>
        <translation>小工具選項</translation>
    </message>
    <message id="update.window.title">
        <source>Software Update</source>
        <translation>軟體更新</translation>
    </message>
    <message id="update.available.title">
        <source>A new version of Vantrell is available</source>
        <translation>Vantrell 有新版本</translation>
    </message>
    <message id="update.available.message">
        <source>Vantrell %1 is available — you have %2. Would you like to download it now?</source>
        <extracomment>%1: the new version, %2: the installed version</extracomment>
        <translation>Vantrell %1 已推出，目前版本為 %2。要立即下載嗎？</translation>
    </message>
    <message id="update.available.download">
        <source>Download</source>
        <translation>下載</translation>
    </message>
    <message id="update.available.later">
        <source>Remind Me Later</source>
        <translation>稍後提醒</translation>
    </message>
    <message id="update.available.skip">
        <source>Skip This Version</source>
        <translation>略過此版本</translation>
    </message>
    <message id="update.upToDate.title">
        <source>You’re up to date</source>
        <translation>沒有可用的更新</translation>
    </message>
    <message id="update.upToDate.message">
        <source>Vantrell %1 is the newest version available.</source>
        <extracomment>%1: the installed version</extracomment>
        <translation>您的 Vantrell %1 已是最新版本。</translation>
    </message>
    <message id="update.error.title">
        <source>Update Check Failed</source>
        <translation>無法檢查更新</translation>
    </message>
    <message id="update.error.message">
        <source>Vantrell couldn’t reach the update server. Please try again later.</source>
        <translation>無法連線至更新伺服器，請稍後再試。</translation>
    </message>
    <message id="tray.fallbackWindow.title">
        <source>Vantrell Prices</source>
        <extracomment>Title of the window shown instead of the popover when the desktop has no tray</extracomment>
        <translation>Vantrell 行情</translation>
    </message>
    <message id="tray.tooltip.change24h">
        <source>24h change: %1</source>
        <extracomment>%1: change such as +2.31%</extracomment>
        <translation>24 小時漲跌：%1</translation>
    </message>
    <message id="tray.tooltip.stale">
        <source>Prices are stale, last update %1</source>
        <extracomment>Tooltip line when the prices are more than five minutes old; %1: time of day such as 2:05 PM</extracomment>
        <translation>價格已過時，最後更新於 %1</translation>
    </message>
    <message id="market.networkRefused">
        <source>The exchanges refuse connections from this network.</source>
        <extracomment>In the price list header and the panel tooltip when every exchange refuses this network (HTTP 451 or a blocking page)</extracomment>
        <translation>交易所拒絕來自此網路的連線。</translation>
    </message>
    <message id="popover.row.source">
        <source>Price from %1</source>
        <extracomment>Tooltip of a price list row; %1: exchange name such as OKX or Kraken</extracomment>
        <translation>價格來自 %1</translation>
    </message>
    <message id="common.ok">
        <source>OK</source>
        <translation>確定</translation>
    </message>
    <message id="common.cancel">
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message id="common.close">
        <source>Close</source>
        <translation>關閉</translation>
    </message>
    <message id="widgetHost.menu.quit">
        <source>Quit Vantrell Widgets</source>
        <translation>結束 Vantrell 小工具</translation>
    </message>
    <message id="widgetHost.gallery.title">
        <source>Add Widget</source>
        <translation>新增小工具</translation>
    </message>
    <message id="widgetHost.gallery.add">
        <source>Click to place this widget on the desktop</source>
        <translation>按一下即可將此小工具放到桌面上</translation>
    </message>
    <message id="widgetHost.editor.search">
        <source>Search coins</source>
        <translation>搜尋幣種</translation>
    </message>
    <message id="widgetHost.editor.addCoin">
        <source>Add</source>
        <translation>新增</translation>
    </message>
    <message id="widgetHost.editor.removeCoin">
        <source>Remove</source>
        <translation>移除</translation>
    </message>
    <message id="widgetHost.editor.limit">
        <source>%1 of %2 coins · drag to reorder</source>
        <translation>已選 %1/%2 個幣種 · 拖曳以排序</translation>
    </message>
    <message id="widgetHost.editor.done">
        <source>Done</source>
        <translation>完成</translation>
    </message>
    <message id="watchlist.holding">
        <source>Holding</source>
        <extracomment>Column caption and field name: how many coins the user holds</extracomment>
        <translation>持有數量</translation>
    </message>
    <message id="watchlist.holding.placeholder">
        <source>Amount</source>
        <extracomment>Placeholder of the empty holding field</extracomment>
        <translation>數量</translation>
    </message>
    <message id="watchlist.holding.help">
        <source>How many coins you hold; leave empty for none</source>
        <translation>你持有的幣數量；留空表示沒有</translation>
    </message>
    <message id="watchlist.averageCost">
        <source>Avg. Cost</source>
        <extracomment>Column caption and field name: average price paid per coin</extracomment>
        <translation>平均成本</translation>
    </message>
    <message id="watchlist.averageCost.placeholder">
        <source>Not set</source>
        <extracomment>Placeholder of the empty average cost field</extracomment>
        <translation>未設定</translation>
    </message>
    <message id="watchlist.averageCost.help">
        <source>Average price you paid per coin, in the display currency</source>
        <translation>每枚幣的平均買入價，以顯示貨幣計</translation>
    </message>
    <message id="popover.holdings.title">
        <source>Holdings</source>
        <extracomment>Name of the popover's total value, for screen readers</extracomment>
        <translation>持倉</translation>
    </message>
    <message id="popover.holdings.hidden">
        <source>hidden</source>
        <extracomment>Read by screen readers in place of a hidden amount</extracomment>
        <translation>已隱藏</translation>
    </message>
    <message id="popover.holdings.today">
        <source>%1 today</source>
        <extracomment>%1: change of the holdings' value such as +$588 (+2.00%)</extracomment>
        <translation>今日 %1</translation>
    </message>
    <message id="popover.holdings.gain">
        <source>%1 vs. cost</source>
        <extracomment>%1: gain or loss against the average costs such as +$5,000 (+20.00%)</extracomment>
        <translation>較成本 %1</translation>
    </message>
    <message id="popover.hideBalances">
        <source>Hide balances</source>
        <extracomment>Tooltip of the eye button in the popover</extracomment>
        <translation>隱藏餘額</translation>
    </message>
    <message id="popover.showBalances">
        <source>Show balances</source>
        <extracomment>Tooltip of the struck eye button in the popover</extracomment>
        <translation>顯示餘額</translation>
    </message>
    <message id="holdings.pricedCount">
        <source>%1 of %2 coins priced</source>
        <extracomment>%1: held coins with a price; %2: all held coins</extracomment>
        <translation>%2 個幣中 %1 個有價格</translation>
    </message>
    <message id="tray.tooltip.holdings">
        <source>Holdings: %1 (%2 today)</source>
        <extracomment>%1: total value such as $12,346; %2: its 24-hour change such as +2.10%</extracomment>
        <translation>持倉：%1（今日 %2）</translation>
    </message>
    <message id="tray.tooltip.holdingsNoChange">
        <source>Holdings: %1</source>
        <extracomment>%1: total value such as $12,346</extracomment>
        <translation>持倉：%1</translation>
    </message>
    <message id="general.hideBalances">
        <source>Hide balances</source>
        <extracomment>Checkbox in the General tab</extracomment>
        <translation>隱藏餘額</translation>
    </message>
    <message id="general.hideBalances.help">
        <source>Show the value of your holdings as •••• everywhere; prices stay visible</source>
        <translation>在所有位置將持倉價值顯示為 ••••；價格仍然可見</translation>
    </message>
    <message id="widget.param.showHoldings">
        <source>Show Holdings Total</source>
        <extracomment>Option of the watchlist widget</extracomment>
        <translation>顯示持倉總值</translation>
    </message>
</context>
</TS>
