// Test support: puts the calling thread under a German C locale (which writes and reads
// "1,5"), the system's own if installed, otherwise one compiled into a temporary directory.
// Conversions that must not depend on the C library's locale are checked under it.
#pragma once

#include <locale.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace kovo::testing {

class TGermanLocale {
  public:
    TGermanLocale() {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"})
            if (Use(name)) return;
        if (access("/usr/bin/localedef", X_OK) != 0) return;
        char dir[] = "/tmp/kovo_locale_XXXXXX";
        if (mkdtemp(dir) == nullptr) return;
        FCompiled = dir;
        std::string cmd =
            "localedef -i de_DE -f UTF-8 " + FCompiled + "/de_DE.UTF-8 >/dev/null 2>&1";
        if (std::system(cmd.c_str()) != 0) return;
        setenv("LOCPATH", dir, 1);
        Use("de_DE.UTF-8");
    }
    ~TGermanLocale() {
        uselocale(LC_GLOBAL_LOCALE);
        if (FLocale != static_cast<locale_t>(0)) freelocale(FLocale);
        if (!FCompiled.empty()) {
            unsetenv("LOCPATH");
            std::system(("rm -rf " + FCompiled).c_str());
        }
    }
    TGermanLocale(const TGermanLocale&) = delete;
    TGermanLocale& operator=(const TGermanLocale&) = delete;

    bool Active() const { return FLocale != static_cast<locale_t>(0); }
    // The name the locale was found under, empty when none could be had.
    const std::string& Name() const { return FName; }

  private:
    bool Use(const char* name) {
#if defined(__SANITIZE_ADDRESS__)
        // The C library keeps a copy of LOCPATH for good; that is not our leak.
        __lsan::ScopedDisabler keep;
#endif
        FLocale = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(0));
        if (FLocale == static_cast<locale_t>(0)) return false;
        uselocale(FLocale);
        FName = name;
        return true;
    }
    locale_t FLocale = static_cast<locale_t>(0);
    std::string FName;
    std::string FCompiled;
};

}  // namespace kovo::testing
