#pragma once
// The name of a company's own folders below the data folder (the automatic
// backup's Data/<name>/, the previous year's working copy's Temp/<name>/).
//
// The rule: the company's name, made safe as one folder name
// (BackupFolderName); when another company has the same folder name, the
// name is followed by "_" and the company id, so that two companies never
// share a folder. A name that equals another company's name-and-id folder
// carries its own id as well. A company without a namesake keeps its plain
// name.

#include <QString>
#include <optional>
#include <vector>

struct CompanyNameEntry {
    QString cid;
    QString name;
};

// A company name made safe as one folder name: path separators and control
// characters become "_", and a name of only dots ("", ".", "..") has each dot
// replaced by "_" (an empty name gives "_").
QString BackupFolderName(const QString& companyName);

// The folder name of company cid named name among companies (which may or
// may not hold cid itself; its entry there is ignored).
QString CompanyFolderName(const QString& cid, const QString& name,
                          const std::vector<CompanyNameEntry>& companies);

// The folder name of the current company gstrCID under its name in the main
// menu's list (CurrentCompanyName()), the other companies read from
// T_COMP_MAIN; nullopt when they cannot be read.
std::optional<QString> CurrentCompanyFolderName();
