#include "app/common/edition.h"

namespace {

Edition gCurrentEdition = Edition::Accounting;

}  // namespace

Edition CurrentEdition() { return gCurrentEdition; }

void SetEdition(Edition edition) { gCurrentEdition = edition; }

QString EditionSoftName() {
    return IsAutoAccountingEdition() ? QStringLiteral("「Pennox」会計") : QStringLiteral("Ralvek");
}

std::optional<Edition> EditionFromArguments(const QStringList& arguments, QString* error) {
    const QString option = QStringLiteral("--edition");
    Edition edition = Edition::Accounting;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString value;
        if (arguments[i].startsWith(option + u'=')) {
            value = arguments[i].mid(option.size() + 1);
        } else if (arguments[i] == option) {
            if (i + 1 >= arguments.size()) {
                if (error) *error = QStringLiteral("--edition needs a value: kaikei or pennox");
                return std::nullopt;
            }
            value = arguments[++i];
        } else {
            continue;
        }
        if (value.compare(u"pennox", Qt::CaseInsensitive) == 0) {
            edition = Edition::AutoAccounting;
        } else if (value.compare(u"kaikei", Qt::CaseInsensitive) == 0) {
            edition = Edition::Accounting;
        } else {
            if (error) *error = QStringLiteral("unknown edition \"%1\": kaikei or pennox").arg(value);
            return std::nullopt;
        }
    }
    return edition;
}
