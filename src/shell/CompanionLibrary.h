#pragma once

#include <QStringList>

#include <memory>

class QLibrary;

namespace pelicast {

// The companion library "PelicastStd" (logo window and about box), loaded at run time.
// The program runs the same without it: a library that cannot be loaded, or lacks an entry
// point, makes the operation do nothing and report nothing.
//
// One handle serves all three operations. It is counted: the logo holds one reference from
// ShowLogo until CloseLogo, an about box one while it is open, and the library is released
// when the last reference goes. So an about box opened while the logo is still up does not
// unload the library under the logo, and CloseLogo still finds it afterwards.
class CompanionLibrary
{
public:
    // Tried in order; each is a file name without prefix and suffix, as QLibrary takes it.
    explicit CompanionLibrary(QStringList candidates = defaultCandidates());
    ~CompanionLibrary();
    CompanionLibrary(const CompanionLibrary &) = delete;
    CompanionLibrary &operator=(const CompanionLibrary &) = delete;

    // The program's own folder first, then the system's library search.
    static QStringList defaultCandidates();

    void ShowLogo();      // returns at once; the logo stays until CloseLogo
    void CloseLogo();     // only after ShowLogo loaded the library; never loads it itself
    void ShowAboutForm(); // returns when the about box has been closed

    bool isLoaded() const { return m_library != nullptr; }
    bool logoShown() const { return m_logoHeld; }

    // The program's one instance, used by the free functions below.
    static CompanionLibrary &instance();

private:
    bool acquire();
    void release();
    void call(const char *entryPoint);

    QStringList m_candidates;
    std::unique_ptr<QLibrary> m_library;
    int m_references = 0;
    bool m_logoHeld = false;
};

// The three operations on the program's instance.
void ShowLogo();
void CloseLogo();
void ShowAboutForm();

} // namespace pelicast
