#pragma once
// The main menu's company list, as the screens below the shell reach it.
//
// The list (entry text = company name, entry data = company id as a number)
// lives on the main menu; its selected entry is the current company. Screens
// read the current company's name from it for their captions and backup
// folder names, and the company-information screen adds, renames and removes
// entries. Those screens sit in layers below the shell, so they reach the list
// through this interface, which the main menu installs while it exists.

#include <QString>

class CompanyList {
public:
    virtual ~CompanyList() = default;

    // The current company's name: the text of the selected entry (empty when
    // the list is empty).
    virtual QString currentCompanyName() const = 0;
    // Adds an entry at the end without selecting it.
    virtual void addCompany(const QString& cid, const QString& name) = 0;
    // Changes the text of the selected entry.
    virtual void renameCurrentCompany(const QString& name) = 0;
    // Removes the selected entry and selects the first one, which switches the
    // current company to it.
    virtual void removeCurrentCompany() = 0;
    // Number of entries.
    virtual int companyCount() const = 0;
};

// The installed list (the main menu's), or null when no main menu exists.
CompanyList* TheCompanyList();
void SetTheCompanyList(CompanyList* list);

// The current company's name, or the empty text without a list.
QString CurrentCompanyName();
