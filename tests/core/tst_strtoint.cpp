// The one integer conversion every dialog uses: what it accepts, what it
// refuses, and the exact error text the operator sees.
#include "tests/support/testsupport.h"

#include "core/error.h"
#include "core/strtoint.h"

#include <climits>

class TestStrToInt : public QObject {
    Q_OBJECT
private slots:
    void convert_data();
    void convert();
    void errorText_data();
    void errorText();
};

void TestStrToInt::convert_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");

    // decimal, signs and blanks
    QTest::newRow("plain") << "16" << true << 16;
    QTest::newRow("leading space") << " 16" << true << 16;
    QTest::newRow("leading tab and control chars") << "\t\x01\x1f 16" << true << 16;
    QTest::newRow("trailing space") << "16 " << false << 0;
    QTest::newRow("inner space") << "1 6" << false << 0;
    QTest::newRow("blank after sign") << "- 5" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("only blank") << " " << false << 0;
    QTest::newRow("letters") << "abc" << false << 0;
    QTest::newRow("digits then letter") << "12a" << false << 0;
    QTest::newRow("plus") << "+7" << true << 7;
    QTest::newRow("minus") << "-7" << true << -7;
    QTest::newRow("lone plus") << "+" << false << 0;
    QTest::newRow("lone minus") << "-" << false << 0;
    QTest::newRow("double sign") << "--7" << false << 0;
    QTest::newRow("leading zeros") << "0000000000000000000012" << true << 12;
    QTest::newRow("fullwidth digits") << QString::fromUtf8("１６") << false << 0;
    QTest::newRow("arabic-indic digits") << QString::fromUtf8("١٦") << false << 0;

    // 32-bit range
    QTest::newRow("max") << "2147483647" << true << INT_MAX;
    QTest::newRow("max+1") << "2147483648" << false << 0;
    QTest::newRow("min") << "-2147483648" << true << INT_MIN;
    QTest::newRow("min-1") << "-2147483649" << false << 0;
    QTest::newRow("far too big") << "99999999999" << false << 0;
    QTest::newRow("huge") << "184467440737095516160" << false << 0;

    // hexadecimal
    QTest::newRow("dollar") << "$10" << true << 16;
    QTest::newRow("0x") << "0x1F" << true << 31;
    QTest::newRow("0X mixed case") << "0X1f" << true << 31;
    QTest::newRow("negative dollar") << "-$10" << true << -16;
    QTest::newRow("negative 0x") << "-0x10" << true << -16;
    QTest::newRow("blank before dollar") << "  $a" << true << 10;
    QTest::newRow("lone dollar") << "$" << false << 0;
    QTest::newRow("lone 0x") << "0x" << false << 0;
    QTest::newRow("sign after prefix") << "$-10" << false << 0;
    QTest::newRow("bad hex digit") << "$1G" << false << 0;
    QTest::newRow("all ones wraps") << "$FFFFFFFF" << true << -1;
    QTest::newRow("top bit wraps") << "$80000000" << true << INT_MIN;
    QTest::newRow("negated top bit") << "-$80000000" << true << INT_MIN;
    QTest::newRow("leading zeros beyond 8 digits") << "$000000010" << true << 16;
    QTest::newRow("nine significant digits") << "$100000000" << false << 0;
    QTest::newRow("x without zero") << "x10" << false << 0;
}

void TestStrToInt::convert()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);

    int got = 4242;
    QCOMPARE(mc::TryStrToInt(text, got), ok);
    QCOMPARE(got, ok ? value : 4242); // a refused text leaves the value alone

    if (ok) {
        QCOMPARE(mc::StrToInt(text), value);
    } else {
        QVERIFY_THROWS_EXCEPTION(mc::Error, mc::StrToInt(text));
    }
}

void TestStrToInt::errorText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("trailing blank kept") << "16 ";
    QTest::newRow("leading blank kept") << "  abc";
    QTest::newRow("empty") << "";
    QTest::newRow("percent sign") << "%1%s";
    QTest::newRow("chinese") << QString::fromUtf8("十六");
}

void TestStrToInt::errorText()
{
    QFETCH(QString, text);
    try {
        mc::StrToInt(text);
        QFAIL("no error raised");
    } catch (const mc::Error &e) {
        QCOMPARE(e.message(), "'" + text + "' is not a valid integer value");
    }
}

MC_TEST_MAIN(TestStrToInt)
#include "tst_strtoint.moc"
