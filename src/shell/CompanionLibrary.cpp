#include "shell/CompanionLibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace pelicast {

namespace {
const QString libraryName = QStringLiteral("PelicastStd");
using EntryPoint = void (*)();
} // namespace

CompanionLibrary::CompanionLibrary(QStringList candidates) : m_candidates(std::move(candidates))
{
}

CompanionLibrary::~CompanionLibrary() = default;

QStringList CompanionLibrary::defaultCandidates()
{
    QStringList names;
    if (QCoreApplication::instance())
        names << QDir(QCoreApplication::applicationDirPath()).filePath(libraryName);
    names << libraryName;
    return names;
}

CompanionLibrary &CompanionLibrary::instance()
{
    static CompanionLibrary library;
    return library;
}

bool CompanionLibrary::acquire()
{
    if (!m_library) {
        for (const QString &name : std::as_const(m_candidates)) {
            auto library = std::make_unique<QLibrary>(name);
            // The library's windows and texts may still be referenced by Qt after a call
            // returns (pending events, caches); its code stays mapped after release.
            library->setLoadHints(QLibrary::PreventUnloadHint);
            if (library->load()) {
                m_library = std::move(library);
                break;
            }
        }
        if (!m_library)
            return false;
    }
    ++m_references;
    return true;
}

void CompanionLibrary::release()
{
    if (m_references > 0 && --m_references == 0 && m_library) {
        m_library->unload();
        m_library.reset();
    }
}

void CompanionLibrary::call(const char *entryPoint)
{
    if (!m_library)
        return;
    if (auto function = reinterpret_cast<EntryPoint>(m_library->resolve(entryPoint))) {
        // Whatever goes wrong inside the library must not stop the program.
        try {
            function();
        } catch (...) {
        }
    }
}

void CompanionLibrary::ShowLogo()
{
    if (m_logoHeld || !acquire())
        return;
    m_logoHeld = true;
    call("ShowLogo");
}

void CompanionLibrary::CloseLogo()
{
    if (!m_logoHeld)
        return;
    call("CloseLogo");
    m_logoHeld = false;
    release();
}

void CompanionLibrary::ShowAboutForm()
{
    if (!acquire())
        return;
    call("ShowAboutForm");
    release();
}

void ShowLogo()
{
    CompanionLibrary::instance().ShowLogo();
}

void CloseLogo()
{
    CompanionLibrary::instance().CloseLogo();
}

void ShowAboutForm()
{
    CompanionLibrary::instance().ShowAboutForm();
}

} // namespace pelicast
