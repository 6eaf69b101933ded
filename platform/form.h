#pragma once
// platform::Form: the base class of every screen (a top-level QWidget).
//
// Life of a screen
//   Form_Load      runs once, the first time the screen is shown (showFrom() or
//                  show()). Build the screen's contents here. When the load ran
//                  to its end, call setLoaded(true); the default Form_Load does
//                  that for screens without a load of their own.
//   Form_Activate  runs every time the screen becomes visible (its first showing
//                  and every return to it, e.g. when a screen it opened closes),
//                  queued after the event that showed it. After it returns, a
//                  screen whose loaded flag is false unloads itself: a failed
//                  load (or a later step that clears the flag) closes the screen
//                  and makes its opener visible again.
//   Form_Unload    runs when the screen closes (close(), unload(), the window's
//                  close box, the failed-load path). Set cancel = true to keep
//                  the screen open; read isLoaded() to skip exit checks after a
//                  failed load. When it is not cancelled the screen is hidden,
//                  its opener shown again, and the screen object is deleted.
//                  While a message box waits for its answer no screen closes
//                  (the code that showed the box may still use it).
//
// Opening another screen
//   auto* next = new InpKantanSiwake;
//   next->showFrom(this);          // loads and shows `next`, then hides this
// The opener becomes visible again when `next` closes, whichever order the
// failed-load path and the hiding take. A screen that must return somewhere
// else calls setOpener() (e.g. in its Form_Unload).
//
// Keys (the screen sees them before its controls)
//   Enter moves to the next field, Escape to the previous one. On a focused push
//   button Enter presses the button, unless the screen called
//   setEnterMovesOn(true): then Enter moves on from a button as from any field
//   (Space still presses it). Inside a SpreadGrid the grid handles Enter and
//   Escape itself (see spreadgrid.h).
//   A letter key without Shift, Ctrl or Alt clicks the visible, enabled push
//   button whose caption ends with that letter in parentheses, "もどる(X)".
//   setLetterKey() binds a letter to an action of its own (it takes precedence,
//   and runs even while the matching button is disabled).
//
// Window caption: Form::caption(own, company, fiscal) gives "own - company - fiscal".
// Centring: centre() puts the screen in the middle of its screen with 405 twips
// (27 px at 96 dpi) taken off the screen height.

#include <QHash>
#include <QPointer>
#include <QWidget>
#include <functional>

namespace platform {

class Form : public QWidget {
    Q_OBJECT
public:
    explicit Form(QWidget* parent = nullptr);
    ~Form() override;

    // Loads (first time only) and shows this screen modeless, then hides the
    // opener. The opener is shown again when this screen closes.
    void showFrom(QWidget* opener);
    QWidget* opener() const { return opener_; }
    void setOpener(QWidget* opener) { opener_ = opener; }

    // Closes the screen (runs Form_Unload). False when Form_Unload cancelled.
    bool unload();

    // The loaded flag: false until Form_Load ran to its end.
    bool isLoaded() const { return loaded_; }
    void setLoaded(bool loaded) { loaded_ = loaded; }
    // True once Form_Load has run (whatever its outcome).
    bool hasLoadRun() const { return loadRan_; }

    // Centres the screen: left = (screen width - width) / 2,
    // top = (screen height - height - 405 twips) / 2.
    void centre();
    // The 405 twips of the centring rule, in pixels of this screen.
    int centringOffset() const;

    // "own - company - fiscal", or "own - company" without a fiscal label.
    static QString caption(const QString& own, const QString& company);
    static QString caption(const QString& own, const QString& company, const QString& fiscal);

    // Binds a letter (A-Z) pressed without modifiers to an action. An empty
    // action removes the binding.
    void setLetterKey(QChar letter, std::function<void()> action);

    // True: Enter moves to the next control on a focused push button too,
    // instead of pressing it.
    void setEnterMovesOn(bool on) { enterMovesOn_ = on; }
    bool enterMovesOn() const { return enterMovesOn_; }

protected:
    virtual void Form_Load() { setLoaded(true); }
    virtual void Form_Activate() {}
    virtual void Form_Unload(bool& cancel) { Q_UNUSED(cancel); }

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ensureLoaded();
    void activate();
    bool handleKey(QWidget* receiver, QKeyEvent* key);
    bool pressLetter(QChar letter);

    QPointer<QWidget> opener_;
    QHash<QChar, std::function<void()>> letterKeys_;
    bool loaded_ = false;
    bool loadRan_ = false;
    bool activationQueued_ = false;
    bool enterMovesOn_ = false;
};

}  // namespace platform
