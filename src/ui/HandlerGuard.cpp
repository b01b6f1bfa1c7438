#include "ui/HandlerGuard.h"

#include "common/Error.h"
#include "common/Prompts.h"

#include <QDebug>

#include <exception>

namespace pelicast {

void runHandler(Prompts &prompts, const std::function<void()> &handler) noexcept
{
    QString text;
    try {
        handler();
        return;
    } catch (const Error &e) {
        text = e.text();
    } catch (const std::exception &e) {
        text = QString::fromLocal8Bit(e.what());
    } catch (...) {
        text = QStringLiteral("Unknown error");
    }
    try {
        prompts.error(standardErrorText(text));
    } catch (...) {
        qCritical("Could not show an error: %s", qUtf8Printable(text));
    }
}

} // namespace pelicast
