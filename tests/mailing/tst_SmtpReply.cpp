#include "mailing/SmtpReply.h"

#include <QtTest>

using namespace pelicast;

class TestSmtpReply : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("replies"); // "code|line|line..."
        QTest::addColumn<bool>("error");
        QTest::newRow("one line") << QByteArray("250 OK\r\n") << QStringList{"250|OK"} << false;
        QTest::newRow("multi-line")
            << QByteArray("250-fake.test\r\n250-AUTH LOGIN\r\n250 SMTPUTF8\r\n")
            << QStringList{"250|fake.test|AUTH LOGIN|SMTPUTF8"} << false;
        QTest::newRow("two replies, lone LF accepted")
            << QByteArray("220 hi\n334 VXNlcm5hbWU6\r\n") << QStringList{"220|hi", "334|VXNlcm5hbWU6"}
            << false;
        QTest::newRow("code alone") << QByteArray("354\r\n") << QStringList{"354|"} << false;
        QTest::newRow("unfinished line waits") << QByteArray("250 O") << QStringList{} << false;
        QTest::newRow("unfinished multi-line waits") << QByteArray("250-a\r\n")
                                                     << QStringList{} << false;
        QTest::newRow("code changes within a reply")
            << QByteArray("250-a\r\n251 b\r\n") << QStringList{} << true;
        QTest::newRow("no code") << QByteArray("hello\r\n") << QStringList{} << true;
        QTest::newRow("bad separator") << QByteArray("250+x\r\n") << QStringList{} << true;
        QTest::newRow("16384 characters")
            << "250 " + QByteArray(16380, 'x') + "\r\n"
            << QStringList{"250|" + QString(16380, u'x')} << false;
        QTest::newRow("16385 characters") << "250 " + QByteArray(16381, 'x') + "\r\n"
                                          << QStringList{} << true;
        QTest::newRow("endless line without a break")
            << QByteArray(20000, 'x') << QStringList{} << true;
    }
    void read()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, replies);
        QFETCH(bool, error);
        // Whole, and byte by byte: replies never depend on how the network cut them.
        for (const qsizetype piece : {bytes.size(), qsizetype(1)}) {
            SmtpReplyReader reader;
            QStringList got;
            for (qsizetype pos = 0; pos < bytes.size(); pos += piece) {
                reader.append(bytes.mid(pos, piece));
                while (const std::optional<SmtpReply> reply = reader.next())
                    got << QString::number(reply->code) + u'|' + reply->lines.join(u'|');
            }
            QCOMPARE(got, replies);
            QCOMPARE(reader.hasError(), error);
        }
    }
};

QTEST_GUILESS_MAIN(TestSmtpReply)
#include "tst_SmtpReply.moc"
