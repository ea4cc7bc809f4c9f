#pragma once

// How the program presents itself: in the About box, the system menu and the help key.

// PELKAR_VERSION_TEXT comes from the project's version in CMakeLists.txt.
constexpr const char* kProductTitle = "PELKAR " PELKAR_VERSION_TEXT;
// The About box's caption and the system-menu entry that opens it.
constexpr const char* kAboutCaption = "About PELKAR " PELKAR_VERSION_TEXT;
constexpr const char* kCopyrightLine = "Copyright (C) 2026 The PELKAR developers";
// The product's web page, opened by "Visit Web Site" and by the help key.
constexpr const char* kProductWebPage = "http://pelkar.example.org/PELKAR/index.php?app=1";
