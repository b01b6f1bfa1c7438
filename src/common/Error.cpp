#include "common/Error.h"

namespace pelicast {

QString standardErrorText(const QString &text)
{
    if (!text.isEmpty() && text.back().unicode() > u'.')
        return text + u'.';
    return text;
}

} // namespace pelicast
