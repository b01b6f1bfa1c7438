// Building and personalising one recipient's copy of a message: a 10 KB body and two
// 100 KB attachments, prepared once; per recipient only the body, the subject and the
// recipients change, and the attachment files are read again (as at every send).

#include "mailing/MailAddress.h"
#include "mailing/MimeComposer.h"
#include "mailing/OutgoingMessage.h"
#include "mailing/ProcessTextUnit.h"
#include "mailing/SmtpDataWriter.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace pelicast;

namespace {

struct Prepared
{
    QTemporaryDir dir;
    OutgoingMessage message;
    QString subject;
    QStringList body;

    explicit Prepared(bool cyrillic)
    {
        for (const char *name : {"first.bin", "second.pdf"}) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            if (!file.open(QIODevice::WriteOnly))
                std::abort();
            QByteArray data(100 * 1024, Qt::Uninitialized);
            for (qsizetype i = 0; i < data.size(); ++i)
                data[i] = char((i * 131 + i / 7) % 256);
            file.write(data);
            message.Attachments << file.fileName();
        }
        const QString line = cyrillic
                                 ? QString::fromUtf8("Здравствуйте, %NAME%! Это строка письма номер ")
                                 : QStringLiteral("Hello %NAME%, this is line number ");
        qsizetype size = 0;
        for (int i = 0; size < 10 * 1024; ++i) {
            body << line + QString::number(i) + QStringLiteral(" of the body text.");
            size += body.last().toUtf8().size() + 2;
        }
        subject = cyrillic ? QString::fromUtf8("Новости для %NAME%") : QStringLiteral("News for %NAME%");
        message.FromName = QStringLiteral("Pelicast Bench");
        message.FromAddress = QStringLiteral("sender@example.org");
        message.ContentType = QStringLiteral("text/html");
        message.setCharSet(QStringLiteral("windows-1251"));
    }

    QByteArray personalise(const QString &address)
    {
        QStringList lines = body;
        message.Body = ExpandNameInLines(address, lines);
        message.Subject = ExpandNameInText(address, subject);
        message.Recipients = MailAddress::parseList(address);
        return MimeComposer::compose(message, false).message;
    }
};

void run(benchmark::State &state, bool cyrillic, bool wire)
{
    Prepared prepared(cyrillic);
    int n = 0;
    qsizetype bytes = 0;
    for (auto _ : state) {
        const QString address = QStringLiteral("Recipient %1 <r%1@example.org>").arg(n++);
        QByteArray message = prepared.personalise(address);
        if (wire)
            message = SmtpDataWriter::dataBlock(message);
        bytes = message.size();
        benchmark::DoNotOptimize(message.data());
    }
    state.counters["message_bytes"] = double(bytes);
}

void BM_MessageAscii7bit(benchmark::State &state) { run(state, false, false); }
void BM_MessageCyrillicQuotedPrintable(benchmark::State &state) { run(state, true, false); }
void BM_MessageCyrillicWithDataBlock(benchmark::State &state) { run(state, true, true); }

} // namespace

BENCHMARK(BM_MessageAscii7bit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MessageCyrillicQuotedPrintable)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MessageCyrillicWithDataBlock)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
