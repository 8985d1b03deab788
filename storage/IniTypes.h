#pragma once

// Where a caption or font store keeps its file.
enum TIniPaths {
    AppPath = 0,  // the program's own folder
    WinPath = 1,  // the bare name, resolved by the INI layer in its default folder
    UserPath = 2, // the folder worked out when the store was created
};
