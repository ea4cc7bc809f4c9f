#pragma once

// How the program presents itself: in the About box, the system menu and the help key.

constexpr const char* kProductTitle = "PELKAR 0.5";
// The About box's caption and the system-menu entry that opens it.
constexpr const char* kAboutCaption = "About PELKAR 0.5";
constexpr const char* kCopyrightLine = "Copyright (C) 2026 The PELKAR developers";
// The product's web page, opened by "Visit Web Site" and by the help key.
constexpr const char* kProductWebPage = "http://pelkar.example.org/PELKAR/index.php?app=1";
