#pragma once

// The program's command IDs. A menu item, a toolbar button and an
// accelerator that share an ID run the same command.
namespace corvane::cmd {

// Application
inline constexpr int About = 57664;
inline constexpr int New = 57600;
inline constexpr int Open = 57601;
inline constexpr int Close = 57602;
inline constexpr int Save = 57603;
inline constexpr int SaveAs = 57604;
inline constexpr int PrintSetup = 57606;
inline constexpr int Print = 57607;
inline constexpr int Exit = 57665;

// Edit
inline constexpr int Copy = 57634;
inline constexpr int Cut = 57635;
inline constexpr int Find = 57636;
inline constexpr int Paste = 57637;
inline constexpr int SelectAll = 57642;
inline constexpr int Undo = 57643;
inline constexpr int Redo = 57644;

// Window
inline constexpr int Cascade = 57650;
inline constexpr int TileHorizontally = 57651;
inline constexpr int TileVertically = 57652;
inline constexpr int Split = 57653;
inline constexpr int PreviousPane = 57681;

// View and bars
inline constexpr int ToolBar = 59392;
inline constexpr int StatusBar = 59393;
inline constexpr int AddressBar = 32886;
inline constexpr int Tabs = 32877;

// Navigation
inline constexpr int Stop = 32776;
inline constexpr int Home = 32777;
inline constexpr int Refresh = 32778;
inline constexpr int Forward = 32779;
inline constexpr int Back = 32780;
inline constexpr int Navigate = 32784;
inline constexpr int AddressGo = 1; // Enter in the address box

// Tools
inline constexpr int Options = 32782;
inline constexpr int Mail = 32785;
inline constexpr int Links = 32786;
inline constexpr int AutoRefresh = 32787;
inline constexpr int Offline = 32823;
inline constexpr int Search = 32872;
inline constexpr int LinksManager = 32885;
inline constexpr int ScanPopups = 32887;
inline constexpr int ToolbarVariant = 32895;
inline constexpr int WindowSpawning = 32896;
inline constexpr int Workspaces = 174;
inline constexpr int CloseAll = 102;
inline constexpr int SmartNavigateToggle = 32937;
inline constexpr int Lock = 32935;
inline constexpr int Unlock = 32936;

// Text size
inline constexpr int FontsHuge = 32791;
inline constexpr int FontsLarge = 32792;
inline constexpr int FontsNormal = 32793;
inline constexpr int FontsSmall = 32794;
inline constexpr int FontsTiny = 32795;

// Page
inline constexpr int ViewSource = 32891;
inline constexpr int Properties = 32892;
inline constexpr int CheckVersion = 32893;
inline constexpr int Preview = 32971;

// Help
inline constexpr int MakerHomePage = 32875;
inline constexpr int MailMaker = 32876;

// Favorites and shell folders
inline constexpr int Favorites = 32840;
inline constexpr int OrganizeFavorites = 32861;
inline constexpr int ExploreHistory = 32863;
inline constexpr int ExploreFavorites = 32864;
inline constexpr int ExploreCookies = 32865;
inline constexpr int ExplorePersonal = 32869;
inline constexpr int AddToFavorites = 32871;
inline constexpr int FavoritesPlaceholder = 32881;
inline constexpr int InternetOptions = 32882;
inline constexpr int ExploreCache = 32970;
inline constexpr int FavoriteFirst = 3584;
inline constexpr int FavoriteLast = 4095;

// Commands of our own, beyond the original set: keys people expect of a
// browser today, full screen and the downloads.
inline constexpr int FocusAddress = 33201; // the address box, text selected
inline constexpr int FullScreen = 33202;   // the active pane alone on the screen
inline constexpr int TextLarger = 33203;   // one text-size step up
inline constexpr int TextSmaller = 33204;  // one text-size step down
inline constexpr int Downloads = 33205;    // the Downloads window

} // namespace corvane::cmd
