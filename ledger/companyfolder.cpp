#include "ledger/companyfolder.h"

#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "platform/connection.h"

QString BackupFolderName(const QString& companyName) {
    QString name;
    name.reserve(companyName.size());
    for (const QChar c : companyName) {
        const bool unsafe =
            c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7f;
        name += unsafe ? QLatin1Char('_') : c;
    }
    if (name.count(QLatin1Char('.')) == name.size()) {
        name.replace(QLatin1Char('.'), QLatin1Char('_'));
        if (name.isEmpty()) name = QStringLiteral("_");
    }
    return name;
}

namespace {

QString withId(const QString& folder, const QString& cid) { return folder + QLatin1Char('_') + cid; }

// True when a company other than cid has the plain folder name plain.
bool hasNamesake(const QString& cid, const QString& plain, const std::vector<CompanyNameEntry>& companies) {
    for (const CompanyNameEntry& other : companies) {
        if (other.cid != cid && BackupFolderName(other.name) == plain) return true;
    }
    return false;
}

}  // namespace

QString CompanyFolderName(const QString& cid, const QString& name,
                          const std::vector<CompanyNameEntry>& companies) {
    const QString plain = BackupFolderName(name);
    if (hasNamesake(cid, plain, companies)) return withId(plain, cid);
    // A plain name that another company's name-and-id folder already takes.
    for (const CompanyNameEntry& other : companies) {
        if (other.cid == cid) continue;
        const QString otherPlain = BackupFolderName(other.name);
        if (withId(otherPlain, other.cid) != plain) continue;
        // The other company carries its id when it has a namesake: this one
        // or a third company of its name.
        const bool otherHasNamesake = otherPlain == plain || hasNamesake(other.cid, otherPlain, companies);
        if (otherHasNamesake) return withId(plain, cid);
    }
    return plain;
}

std::optional<QString> CurrentCompanyFolderName() {
    if (!gcnKaikei) return std::nullopt;
    const auto rows =
        gcnKaikei->query(QStringLiteral("SELECT CID, COMPANY FROM T_COMP_MAIN WHERE CID <> ?"), {gstrCID});
    if (!rows) return std::nullopt;
    std::vector<CompanyNameEntry> companies;
    companies.reserve(rows->size() + 1);
    for (const platform::Row& r : *rows) companies.push_back({r.text(0), r.text(1)});
    companies.push_back({gstrCID, CurrentCompanyName()});
    return CompanyFolderName(gstrCID, CurrentCompanyName(), companies);
}
