// The companion library's three entry points. They take nothing and return nothing, and
// they never let an exception out: the program calls them through plain C pointers.

#include "AboutBox.h"
#include "CompanionTrace.h"
#include "LogoWindow.h"

#include <QApplication>
#include <QPointer>

namespace {

// The logo lives from ShowLogo to CloseLogo. QPointer: should the application have taken
// the window down already, CloseLogo finds nothing left to delete.
QPointer<LogoWindow> logo;

// Windows need a widget application; a program without one gets calls that do nothing.
bool haveWidgetApplication()
{
    return qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr;
}

} // namespace

extern "C" {

Q_DECL_EXPORT void ShowLogo()
{
    traceCompanionCall("ShowLogo");
    try {
        if (!haveWidgetApplication() || logo)
            return;
        logo = new LogoWindow;
        logo->show();
        logo->raise();
    } catch (...) {
    }
}

Q_DECL_EXPORT void CloseLogo()
{
    traceCompanionCall("CloseLogo");
    delete logo.data();
}

Q_DECL_EXPORT void ShowAboutForm()
{
    traceCompanionCall("ShowAboutForm");
    try {
        if (!haveWidgetApplication())
            return;
        AboutBox box;
        box.exec();
    } catch (...) {
    }
}

} // extern "C"
