// Path component: tells where the application-data roots lie.
#pragma once

#include <string>

// One object per path: construct, ask, destroy. Roots carry no trailing separator.
class KorvelIni {
 public:
  KorvelIni() = default;
  virtual ~KorvelIni() = default;
  KorvelIni(const KorvelIni&) = delete;
  KorvelIni& operator=(const KorvelIni&) = delete;

  // The directory of root n: $KORVEL_APPDATA_<n> when set and not empty (read on
  // every call); otherwise root 0 is $XDG_CONFIG_HOME/TrassoJkn (or
  // ~/.config/TrassoJkn) and every other root $XDG_DATA_HOME/TrassoJkn (or
  // ~/.local/share/TrassoJkn), with the number appended for roots other than 0 and 1. On
  // Windows the variable is read as wide text and the defaults are
  // %APPDATA%\TrassoJkn and %LOCALAPPDATA%\TrassoJkn; the result is a code page
  // 932 text.
  std::string GetAppDataPath(int n) const;
};
