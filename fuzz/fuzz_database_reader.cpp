// Feeds arbitrary bytes to the database file reader. Besides crashes, hangs and leaks it
// checks what a load must leave behind whether it failed or not: an open, usable list of
// unique, valid UTF-8 addresses of at most 100 characters, which saves and loads back to
// the same records.

#include "common/Error.h"
#include "recipients/AddressCollation.h"
#include "recipients/DatabaseReader.h"
#include "recipients/DatabaseWriter.h"
#include "recipients/RecipientList.h"

#include <QBuffer>
#include <QSet>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace pelicast;

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

const AddressCollation &collation()
{
    static const AddressCollation c("C");
    return c;
}

bool load(RecipientList &list, const QByteArray &bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    try {
        DatabaseReader(buffer, list).read();
        return true;
    } catch (const Error &) {
        return false;
    }
}

QByteArray save(const RecipientList &list)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    DatabaseWriter::write(list, buffer);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    RecipientList list(QStringLiteral("MainTableIndex"), &collation());
    list.OpenList();
    list.AppendAddress(QStringLiteral("before@x"));
    load(list, QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));

    check(list.IsOpen(), "list open");
    QSet<QByteArray> seen;
    for (int row = 0; row < list.count(); ++row) {
        const QByteArray address = list.addressUtf8At(row).toByteArray();
        check(address.isValidUtf8(), "valid UTF-8");
        check(QString::fromUtf8(address).toUcs4().size() <= RecipientList::MaxAddressLength,
              "at most 100 characters");
        check(!address.contains('\0'), "no zero byte");
        check(!seen.contains(address), "unique");
        seen.insert(address);
        check(list.changeStatusAt(row) <= RecipientList::Added, "status 0 to 2");
    }

    const QByteArray saved = save(list);
    RecipientList again(QStringLiteral("MainTableIndex"), &collation());
    again.OpenList();
    check(load(again, saved), "a saved list loads");
    check(again.count() == list.count(), "same count");
    for (int row = 0; row < list.count(); ++row) {
        check(again.addressUtf8At(row) == list.addressUtf8At(row), "same address");
        check(again.changeStatusAt(row) == list.changeStatusAt(row), "same status");
    }
    check(save(again) == saved, "same bytes");

    const QString fresh = QStringLiteral("fuzz-new@x");
    if (!seen.contains(fresh.toUtf8())) {
        const int count = list.count();
        list.AppendAddress(fresh);
        check(list.count() == count + 1 && list.FindAddress(fresh), "usable after the load");
    }
    return 0;
}
