#pragma once
// The current company's descriptions (T_TEKIYO) and batch-journal patterns
// (T_SI_PATTERN), as their screens keep them.
//
// Neither screen edits the company's table row by row: opening copies the
// company's rows into an editing copy (WK_TEKIYO, WK_SI_PATTERN), every
// register, correct and delete acts on the copy at once (the printed lists
// read the copy), and closing writes the copy back. Each copy holds one
// company's rows at a time. Copy-in and write-back each run in one
// transaction: a failed write-back keeps the company's stored rows and says
// so, and the rows of other companies are never touched.
//
// Every message is a warning box titled gstrSoftName, unless it says "plain"
// (an OK button, no icon, no title). A function that returns false or nullopt
// has shown its own message, unless it says otherwise.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

enum class EditMode { Register, Correct, Delete };

// ---- Descriptions

// A description's number as stored: three digits with leading zeros, more
// digits kept ("001", "1000").
QString FormatTekiNo(int number);

struct TekiyoEntry {
    QString text;    // TENAME
    int number = 0;  // TEKINO as a number
};

// The screen's index of WK_TEKIYO: one entry per row, in the order the rows
// were read (TEKINO order) and then added.
class TekiyoList {
public:
    // Empties WK_TEKIYO, copies the company's descriptions in and reads them.
    // On a failure shows "WK_TEKIYOマスタのアクセス中にエラーが発生しました(msFormInit)。".
    bool load();

    const std::vector<TekiyoEntry>& entries() const { return entries_; }
    QStringList texts() const;
    // The first entry whose text equals text with its blanks trimmed; -1 if none.
    int find(const QString& text) const;
    // The lowest positive number no entry uses, formatted ("001" for an empty list).
    QString nextNumber() const;

    // The check before "登 録": nullopt when the input may be carried out,
    // otherwise the plain box's text ("摘要名称を入力して下さい。", whatever the reason).
    // typed is the description box, chosen the list's text (correct and delete).
    std::optional<QString> inputError(EditMode mode, const QString& typed, const QString& chosen) const;

    // Carry out an input that passed inputError. Register stores typed without
    // its surrounding blanks under nextNumber(); correct and delete act on the
    // entry chosen names. On a failure shows
    // "WK_TEKIYOマスタのアクセス中にエラーが発生しました(cmdTouroku_Click)。" and
    // the list stays as it was.
    bool apply(EditMode mode, const QString& typed, const QString& chosen);

    // Replaces the company's rows of T_TEKIYO by WK_TEKIYO's, in one
    // transaction. On a failure shows
    // "WK_TEKIYOマスタのアクセス中にエラーが発生しました(msLeaveForm)。" and T_TEKIYO
    // keeps its rows.
    static bool writeBack();

private:
    std::vector<TekiyoEntry> entries_;
};

// True when WK_TEKIYO holds a row; nullopt when it cannot be read (shows
// "WK_TEKIYOマスタのアクセス中にエラーが発生しました(cmdHyouji_Click)。").
std::optional<bool> TekiyoCopyHasRows();

// ---- Batch-journal patterns

// Empties WK_SI_PATTERN and copies the company's patterns in. On a failure
// shows "WK_SI_PATTERNマスタのアクセス中にエラーが発生しました(msFormInit)。".
bool LoadPatternCopy();

// The account entries of the debit and credit lists: "KMCODE KANNAME" of the
// numbered posting accounts in use, by account number, without the three
// subtotal accounts 202, 258 and 362. nullopt on a failed read (no message).
std::optional<QStringList> PatternAccountEntries();

// The current company's descriptions (T_TEKIYO), by number, for the
// pattern screen's description list. nullopt on a failed read (no message).
std::optional<QStringList> PatternDescriptionEntries();

// The account number of a list entry: the text before its first blank.
QString AccountNumberOf(const QString& entry);

struct PatternText {
    QString siname;  // SINAME
    QString tename;  // TENAME
};

// The stored pattern of the pair in WK_SI_PATTERN; an empty optional inside
// when there is none. On a failed read shows
// "WK_SI_PATTERNマスタのアクセス中にエラーが発生しました(msShowSub)。".
std::optional<std::optional<PatternText>> FindPattern(const QString& debit, const QString& credit);

// The pair check: register mode refuses a stored pair ("仕訳パターンマスタ登録済み。"),
// correct and delete refuse a pair that is not stored ("仕訳パターンマスタ未登録"),
// both plain boxes. A failed read shows
// "WK_SI_PATTERNマスタのアクセス中にエラーが発生しました(mfCreSubChk)。". False
// after either.
bool PatternPairCheck(EditMode mode, const QString& debit, const QString& credit);

// Carries out "登 録" on WK_SI_PATTERN for the pair (account numbers). Register
// adds the pattern with SETID "1" and an empty SETPT (the row writer shows its
// own message on a failure); correct changes name and description only;
// delete removes the row. Correct and delete show
// "WK_SI_PATTERNマスタのアクセス中にエラーが発生しました(cmdTouroku_Click)。" on a
// failure.
bool ApplyPattern(EditMode mode, const QString& debit, const QString& credit, const QString& name,
                  const QString& description);

// True when WK_SI_PATTERN holds a row; nullopt when it cannot be read (shows
// "WK_SI_PATTERNマスタのアクセス中にエラーが発生しました(cmdHyouji_Click)。").
std::optional<bool> PatternCopyHasRows();

// Replaces the company's rows of T_SI_PATTERN by WK_SI_PATTERN's, in one
// transaction. On a failure shows
// "T_SI_PATTERNマスタのアクセス中にエラーが発生しました(msUnForm)。" and
// T_SI_PATTERN keeps its rows.
bool WriteBackPatterns();

// ---- Type-ahead of the pattern screen's account and description lists

// What one change of a list box's text asks of the box.
struct TypeAheadStep {
    bool scanned = false;     // the list was searched (the accounts then show the stored pattern)
    bool refused = false;     // no entry begins with the text: plain box "科目マスタ未登録。"
    bool setText = false;     // put text into the box and select selStart..selStart+selLength
    QString text;
    int selStart = 0;
    int selLength = 0;
    std::optional<QString> chosen;  // an entry typed whole or completed (the description box takes it)
};

// The typed prefix and the completion of one list box. change() is called
// with the box's text after each edit by the user (not after the box's own
// setText): the first entry beginning with the text completes it, with the
// completed tail selected so that the next keystroke replaces it; an entry
// typed whole stays as typed; a text no entry begins with is refused and the
// previous completion comes back (a single character empties the box).
// Comparison is exact, character by character.
class TypeAhead {
public:
    TypeAheadStep change(const QString& text, const QStringList& entries);
    void clear() { prefix_.clear(), completion_.clear(); }
    const QString& prefix() const { return prefix_; }
    const QString& completion() const { return completion_; }

private:
    QString prefix_;
    QString completion_;
};
