#pragma once
// Where the program's choices live: application "Murivo", section "Options".

#include <QString>

namespace murivo {

inline const QString kApp = "Murivo";
inline const QString kSection = "Options";
inline const QString kDailyTime = "Daily Time";
inline const QString kRepeatTime = "Repeat Time";
inline const QString kStartupCheck = "Startup Check";
inline const QString kDailyCheck = "Daily check";
inline const QString kRepeatCheck = "Repeat check";
inline const QString kStartWithWindows = "Start witn windows";
inline const QString kMode = "Mode";

inline const QString kTitle = "Murivo 1.1";

// Shown on the splash and the About page.
inline const QString kMakerName = "The Murivo developers";
inline const QString kMakerSite = "https://murivo.example.org/";
inline const QString kMakerMail = "support@murivo.example.org";
inline const QString kHelpPage = "https://murivo.example.org/downloads/murivo/help";

} // namespace murivo
