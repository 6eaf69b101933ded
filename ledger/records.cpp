#include "ledger/records.h"

#include "ledger/rowwriters.h"

namespace {

// The shortest fixed-point text that reads back as the rate ("1.25",
// "110.1234", "0.00001", never an exponent, which the writers refuse).
QString rateText(double rate) {
    return rateDecimalText(rate);
}

QString amount(Currency c) {
    return c.toText();
}

// Fills the eleven positions of one side, from position first on.
void putSide(QStringList& v, int first, const JournalSide& s) {
    v[first] = s.kocode;
    v[first + 1] = s.hokocode;
    v[first + 2] = s.bukbn;
    v[first + 3] = s.tkbn;
    v[first + 4] = s.tkocode;
    v[first + 5] = rateText(s.tritu);
    v[first + 6] = amount(s.tkin);
    v[first + 7] = amount(s.tkinNo);
    v[first + 8] = amount(s.kin);
    v[first + 9] = s.aicode;
    v[first + 10] = s.aihocode;
}

}  // namespace

QStringList SiMeisaiValues(const JournalLine& l) {
    QStringList v = RowValues(31);
    v[1] = l.denCode;
    v[2] = l.denMeNo;
    v[3] = l.cid;
    v[4] = l.siDay;
    v[5] = l.dateYm;
    v[6] = l.sisyu;
    putSide(v, 7, l.kr);
    putSide(v, 18, l.ks);
    v[29] = l.tecode;
    v[30] = l.tekiyo;
    v[31] = l.ptcode;
    return v;
}

bool WriteSiMeisaiTable(const JournalLine& line, const QString& table) {
    return WriteSiMeisaiTable(SiMeisaiValues(line), table);
}

QStringList SiwakeValues(const DayVoucher& d) {
    QStringList v = RowValues(9);
    v[1] = d.cid;
    v[2] = d.denCode;
    v[3] = d.denNo;
    v[4] = d.denDay;
    v[5] = d.inDay;
    v[6] = d.kessan;
    v[7] = amount(d.yDayZan);
    v[8] = amount(d.dayZan);
    v[9] = rateText(d.rate);
    return v;
}

bool WriteSiwakeTable(const DayVoucher& voucher, const QString& table) {
    return WriteSiwakeTable(SiwakeValues(voucher), table);
}

QStringList DayToranValues(const DayAmounts& a) {
    QStringList v = RowValues(35);
    v[1] = a.cid;
    v[2] = a.kocode;
    v[3] = a.dateYm;
    v[4] = a.kmcode;
    for (int day = 1; day <= 31; ++day) v[4 + day] = amount(a.kin[day - 1]);
    return v;
}

bool WriteDayToranTable(const DayAmounts& amounts, const QString& table) {
    return WriteDayToranTable(DayToranValues(amounts), table);
}

QStringList KisyuzanValues(const OpeningBalance& b) {
    QStringList v = RowValues(11);
    v[1] = b.cid;
    v[2] = b.kocode;
    v[3] = b.kmcode;
    v[4] = b.kanName;
    v[5] = amount(b.kisyuzan);
    v[6] = QString::number(b.jun);
    v[7] = b.siyou;
    v[8] = b.aicode;
    v[9] = b.hojoset;
    v[10] = b.kisyumkbn;
    v[11] = rateText(b.rate);
    return v;
}

bool WriteKisyuzanTable(const OpeningBalance& balance, const QString& table) {
    return WriteKisyuzanTable(KisyuzanValues(balance), table);
}

QStringList HojoKamokuValues(const SubAccount& s) {
    QStringList v = RowValues(6);
    v[1] = s.cid;
    v[2] = s.kankocode;
    v[3] = s.hokocode;
    v[4] = s.hocode;
    v[5] = s.honame;
    v[6] = amount(s.kisyuzan);
    return v;
}

bool WriteHojoKamokuTable(const SubAccount& sub, const QString& table) {
    return WriteHojoKamokuTable(HojoKamokuValues(sub), table);
}

QStringList TukikanValues(const MonthTotals& t) {
    QStringList v = RowValues(7);
    v[1] = t.cid;
    v[2] = t.kankocode;
    v[3] = t.dateYm;
    v[4] = amount(t.krTotal);
    v[5] = amount(t.ksTotal);
    v[6] = amount(t.krRui);
    v[7] = amount(t.ksRui);
    return v;
}

bool WriteTukikanTable(const MonthTotals& totals, const QString& table) {
    return WriteTukikanTable(TukikanValues(totals), table);
}

QStringList TukihojoValues(const MonthTotals& t) {
    QStringList v = RowValues(8);
    v[1] = t.cid;
    v[2] = t.kankocode;
    v[3] = t.hocode;
    v[4] = t.dateYm;
    v[5] = amount(t.krTotal);
    v[6] = amount(t.ksTotal);
    v[7] = amount(t.krRui);
    v[8] = amount(t.ksRui);
    return v;
}

bool WriteTukihojoTable(const MonthTotals& totals, const QString& table) {
    return WriteTukihojoTable(TukihojoValues(totals), table);
}
