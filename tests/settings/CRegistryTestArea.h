// A fresh, private place in the registry for one test: a unique key below HKCU (Windows) or a
// private folder for the file-backed store (POSIX); removed again when the test ends.
#pragma once

#include <cstdlib>
#include <string>

#include "foundation/base_types.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <ftw.h>
#include <unistd.h>
#endif

class CRegistryTestArea {
public:
    CRegistryTestArea() {
        static int counter = 0;
        ++counter;
#ifdef _WIN32
        m_subKey = L"Software\\ORVANE\\HopwatchTest\\t" + std::to_wstring(GetCurrentProcessId()) +
                   L"_" + std::to_wstring(GetTickCount()) + L"_" + std::to_wstring(counter);
        m_path = L"HKCU\\" + m_subKey;
#else
        const char* old = std::getenv("XDG_CONFIG_HOME");
        m_hadOld = old != nullptr;
        if (m_hadOld)
            m_old = old;
        char pattern[] = "/tmp/hopwatch-registry-XXXXXX";
        const char* dir = mkdtemp(pattern);
        m_dir = dir != nullptr ? dir : "/tmp/hopwatch-registry-failed";
        setenv("XDG_CONFIG_HOME", m_dir.c_str(), 1);
        m_subKey = L"Software\\ORVANE\\HopwatchTest\\t" + std::to_wstring(counter);
        m_path = L"HKCU\\" + m_subKey;
#endif
    }
    ~CRegistryTestArea() {
#ifdef _WIN32
        RegDeleteTreeW(HKEY_CURRENT_USER, m_subKey.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\ORVANE\\HopwatchTest"); // only when empty
#else
        nftw(
            m_dir.c_str(),
            [](const char* p, const struct stat*, int, struct FTW*) { return remove(p); }, 16,
            FTW_DEPTH | FTW_PHYS);
        if (m_hadOld)
            setenv("XDG_CONFIG_HOME", m_old.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
#endif
    }
    CRegistryTestArea(const CRegistryTestArea&) = delete;
    CRegistryTestArea& operator=(const CRegistryTestArea&) = delete;

    // The full path of a key that does not exist yet (HKCU\...).
    const CString& Path() const {
        return m_path;
    }
    // The same below HKCU.
    const CString& SubKey() const {
        return m_subKey;
    }
#ifndef _WIN32
    const std::string& Directory() const {
        return m_dir;
    }
#endif

private:
    CString m_subKey;
    CString m_path;
#ifndef _WIN32
    std::string m_dir;
    std::string m_old;
    bool m_hadOld = false;
#endif
};
