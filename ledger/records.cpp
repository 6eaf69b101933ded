#include "ledger/records.h"

namespace {

// The eleven columns of one side.
using SideColumns = std::array<const char*, 11>;
constexpr SideColumns kDebit{"KRKOCODE", "KRHOKOCODE", "KRBUKBN", "KRTKBN", "KRTKOCODE", "KRTRITU",
                             "KRTKIN",   "KRTKINNO",   "KRKIN",   "KRAICODE", "KRAIHOCODE"};
constexpr SideColumns kCredit{"KSKOCODE", "KSHOKOCODE", "KSBUKBN", "KSTKBN", "KSTKOCODE", "KSTRITU",
                              "KSTKIN",   "KSTKINNO",   "KSKIN",   "KSAICODE", "KSAIHOCODE"};

void putSide(WriterRow& row, const SideColumns& c, const JournalSide& s) {
    row.set(c[0], s.kocode)
        .set(c[1], s.hokocode)
        .set(c[2], s.bukbn)
        .set(c[3], s.tkbn)
        .set(c[4], s.tkocode)
        .set(c[5], s.tritu)
        .set(c[6], s.tkin)
        .set(c[7], s.tkinNo)
        .set(c[8], s.kin)
        .set(c[9], s.aicode)
        .set(c[10], s.aihocode);
}

}  // namespace

WriterRow SiMeisaiRow(const JournalLine& l) {
    WriterRow row(WriteSiMeisaiTable);
    row.set("DENCODE", l.denCode)
        .set("DENMENO", l.denMeNo)
        .set("CID", l.cid)
        .set("SIDAY", l.siDay)
        .set("DATEYM", l.dateYm)
        .set("SISYU", l.sisyu);
    putSide(row, kDebit, l.kr);
    putSide(row, kCredit, l.ks);
    row.set("TECODE", l.tecode).set("TEKIYO", l.tekiyo).set("ptcode", l.ptcode);
    return row;
}

bool WriteSiMeisaiTable(const JournalLine& line, const QString& table) {
    return WriteRow(SiMeisaiRow(line), table);
}

WriterRow SiwakeRow(const DayVoucher& d) {
    WriterRow row(WriteSiwakeTable);
    row.set("CID", d.cid)
        .set("DENCODE", d.denCode)
        .set("DENNO", d.denNo)
        .set("DENDAY", d.denDay)
        .set("INDAY", d.inDay)
        .set("KESSAN", d.kessan)
        .set("YDAYZAN", d.yDayZan)
        .set("DAYZAN", d.dayZan)
        .set("RATE", d.rate);
    return row;
}

bool WriteSiwakeTable(const DayVoucher& voucher, const QString& table) {
    return WriteRow(SiwakeRow(voucher), table);
}

WriterRow DayToranRow(const DayAmounts& a) {
    WriterRow row(WriteDayToranTable);
    row.set("CID", a.cid).set("KOCODE", a.kocode).set("DATEYM", a.dateYm).set("KMCODE", a.kmcode);
    static const QStringList days = [] {
        QStringList names;
        for (int day = 1; day <= 31; ++day) names << QStringLiteral("KIN%1").arg(day);
        return names;
    }();
    for (int day = 1; day <= 31; ++day) row.set(days[day - 1], a.kin[size_t(day - 1)]);
    return row;
}

bool WriteDayToranTable(const DayAmounts& amounts, const QString& table) {
    return WriteRow(DayToranRow(amounts), table);
}

WriterRow KisyuzanRow(const OpeningBalance& b) {
    WriterRow row(WriteKisyuzanTable);
    row.set("CID", b.cid)
        .set("KOCODE", b.kocode)
        .set("KMCODE", b.kmcode)
        .set("KANNAME", b.kanName)
        .set("KISYUZAN", b.kisyuzan)
        .set("JUN", b.jun)
        .set("SIYOU", b.siyou)
        .set("AICODE", b.aicode)
        .set("HOJOSET", b.hojoset)
        .set("KISYUMKBN", b.kisyumkbn)
        .set("RATE", b.rate);
    return row;
}

bool WriteKisyuzanTable(const OpeningBalance& balance, const QString& table) {
    return WriteRow(KisyuzanRow(balance), table);
}

WriterRow HojoKamokuRow(const SubAccount& s) {
    WriterRow row(WriteHojoKamokuTable);
    row.set("CID", s.cid)
        .set("KANKOCODE", s.kankocode)
        .set("HOKOCODE", s.hokocode)
        .set("HOCODE", s.hocode)
        .set("HONAME", s.honame)
        .set("KISYUZAN", s.kisyuzan);
    return row;
}

bool WriteHojoKamokuTable(const SubAccount& sub, const QString& table) {
    return WriteRow(HojoKamokuRow(sub), table);
}

namespace {

void putTotals(WriterRow& row, const MonthTotals& t) {
    row.set("CID", t.cid)
        .set("KANKOCODE", t.kankocode)
        .set("DATEYM", t.dateYm)
        .set("KRTOTAL", t.krTotal)
        .set("KSTOTAL", t.ksTotal)
        .set("KRRUI", t.krRui)
        .set("KSRUI", t.ksRui);
}

}  // namespace

WriterRow TukikanRow(const MonthTotals& t) {
    WriterRow row(WriteTukikanTable);
    putTotals(row, t);
    return row;
}

bool WriteTukikanTable(const MonthTotals& totals, const QString& table) {
    return WriteRow(TukikanRow(totals), table);
}

WriterRow TukihojoRow(const MonthTotals& t) {
    WriterRow row(WriteTukihojoTable);
    putTotals(row, t);
    row.set("HOCODE", t.hocode);
    return row;
}

bool WriteTukihojoTable(const MonthTotals& totals, const QString& table) {
    return WriteRow(TukihojoRow(totals), table);
}
