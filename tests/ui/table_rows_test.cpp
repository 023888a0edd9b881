// The rows and texts of the decoded-message table that a recorded stream
// rarely shows: SV blanking in MSM cells, the UDRE ranges of types 41 and
// 42, the date row of 1013, zero values, records never filled.
#include <QtTest>

#include <cstring>
#include <memory>

#include "rtcm/message_codes.h"
#include "rtcm/rtcm2_dec.h"
#include "rtcm/rtcm3_dec.h"
#include "ui/decoder_table_rows.h"
#include "ui/message_tree_items.h"
#include "ui/rtcm2_table_rows.h"
#include "ui/rtcm3_table_rows.h"

namespace corvane {

namespace {

QStringList Column(const TableRows& rows, int column) {
    QStringList texts;
    for (const TableRow& row : rows) texts << QString::fromStdU16String(row.at(column));
    return texts;
}

}  // namespace

class TableRowsTest : public QObject {
    Q_OBJECT

private slots:
    void msmShowsSatelliteWhereItChanges() {
        auto msm4 = std::make_unique<RecMsm4>();
        auto msm7 = std::make_unique<RecMsm7>();
        const int sats[] = {5, 5, 5, 9, 9};
        msm4->cellCount = msm7->cellCount = 5;
        for (int i = 0; i < 5; ++i) msm4->cells[i].sat = msm7->cells[i].sat = sats[i];
        const QStringList expected{"5", "", "", "9", ""};
        QCOMPARE(Column(Msm4Rows(*msm4), 0), expected);
        QCOMPARE(Column(Msm7Rows(*msm7), 0), expected);
    }

    void udreRangeOfMultiSystemCorrections_data() {
        QTest::addColumn<int>("health");
        QTest::addColumn<int>("udre");
        QTest::addColumn<QString>("text");
        QTest::newRow("beyond the last bound") << 0 << 15 << QString("ε>18.480");
        QTest::newRow("first bound") << 0 << 0 << QString("ε<=0.040");
        QTest::newRow("bounds 3 and 4") << 2 << 3 << QString("0.048<ε<=0.074");
        QTest::newRow("last range") << 5 << 14 << QString("1.192<ε<=1.848");
        QTest::newRow("health 6 has no range") << 6 << 3 << QString();
        QTest::newRow("health 7 has no range") << 7 << 15 << QString();
    }
    void udreRangeOfMultiSystemCorrections() {
        QFETCH(int, health);
        QFETCH(int, udre);
        Rec41 rec{};
        rec.health = health;
        rec.sats[0] = {7, udre, 1, 1.5, 0.0};
        const TableRows rows = MultiSystemRows(rec);
        QCOMPARE(rows.size(), std::size_t{1});
        QTEST(QString::fromStdU16String(rows[0][1]), "text");
        QCOMPARE(QString::fromStdU16String(rows[0][4]), QString("0"));  // no ionospheric delay
    }

    void systemParametersShowTheDateOnceAWeekIsKnown() {
        const Rec1013 rec{58261, 49620, 18};
        const TableRows before = SystemParameterRows(rec, 0, 0);
        QCOMPARE(Column(before, 1), (QStringList{"Modified Julian Day Number",
                                                 "Seconds of Day(UTC)", "Leap Seconds, GPS-UTC"}));
        QCOMPARE(Column(before, 2), (QStringList{"58261", "49620", "18"}));
        // GPS week 2000 began on 2018-05-06; no leap seconds are applied.
        const TableRows after = SystemParameterRows(rec, 2000, 3 * 86400 + 13 * 3600 + 47 * 60 + 5);
        QCOMPARE(after.size(), std::size_t{4});
        QCOMPARE(QString::fromStdU16String(after[3][2]), QString("2018-05-09 13:47:05"));
    }

    void zeroRatesAndHalfMinutes() {
        Rec01 rec{};
        rec.zCount = 1234.2;
        rec.sats[0] = {32, 1, 2, 77, -1.234, 0.0};
        rec.sats[1] = {3, 0, 0, 5, 0.0, -0.0126};
        const TableRows rows = CorrectionRows(rec);
        QCOMPARE(rows.size(), std::size_t{2});
        QCOMPARE(QString::fromStdU16String(rows[0][2]), QString("4<ε<=8"));
        QCOMPARE(QString::fromStdU16String(rows[0][4]), QString("0"));
        QCOMPARE(QString::fromStdU16String(rows[1][4]), QString("-0.013"));
        QCOMPARE(QString::fromStdU16String(rows[1][6]), QString("1234.2"));

        auto glo = std::make_unique<Rec1020[]>(24);
        glo[6] = Rec1020{};
        glo[6].xDot = 1.0;
        glo[6].tkHours = 5;
        glo[6].tkMinutes = 7;
        glo[6].tkHalfMinute = 1;
        const TableRows eph = GloEphemerisRows(std::span<const Rec1020, 24>(glo.get(), 24));
        QCOMPARE(eph.size(), std::size_t{1});
        QCOMPARE(QString::fromStdU16String(eph[0][0]), QString("47"));
        QCOMPARE(QString::fromStdU16String(eph[0][3]), QString("05:07:30"));
    }

    // A type whose record was never filled lists nothing, except the
    // name/value tables of 1013 and 1033, which always have their rows.
    void recordsNeverFilledShowNoRows_data() {
        QTest::addColumn<int>("version");
        QTest::addColumn<quint32>("code");
        for (int version : {2, 3}) {
            for (const MessageTreeItem& item : MessageTreeItems(version)) {
                if (item.code != 0)
                    QTest::addRow("%s", QString::fromUtf16(item.text).toUtf8().constData())
                        << version << item.code;
                for (const MessageTreeChild& child : item.children)
                    QTest::addRow("%s %s", QString::fromUtf16(item.text).toUtf8().constData(),
                                  QString::fromUtf16(child.text).toUtf8().constData())
                        << version << child.code;
            }
        }
    }
    void recordsNeverFilledShowNoRows() {
        QFETCH(int, version);
        QFETCH(quint32, code);
        TableRows rows;
        if (version == 2) {
            rows = Rtcm2TableRows(RTCM2Dec(nullptr), code);
        } else {
            rows = Rtcm3TableRows(RTCM3Dec(nullptr), code);
        }
        const std::size_t expected = KindOf(code) == kKind1013   ? 3
                                     : KindOf(code) == kKind1033 ? 5
                                                                 : 0;
        QCOMPARE(rows.size(), expected);
    }
};

}  // namespace corvane

QTEST_APPLESS_MAIN(corvane::TableRowsTest)
#include "table_rows_test.moc"
