#include "platform/spreadgrid.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QBasicTimer>
#include <QComboBox>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>
#include <vector>

#include "platform/textguard.h"

namespace platform {

namespace {

struct Cell {
    QString text;  // number cells: plain decimal text ("1500"), "" when empty
    QColor foreground;
    std::optional<bool> locked;  // unset: the column's lock
    bool combo = false;
    bool comboEditable = false;
    QStringList items;
};

struct Column {
    SpreadGrid::ColumnType type = SpreadGrid::ColumnType::Text;
    NumberFormat format;
    std::optional<bool> inputMethod;  // unset: on for text, off for numbers
    bool locked = false;
    QString header;
    QColor headerForeground;
};

struct RowHeader {
    std::optional<QString> text;  // unset: the row number
    QColor foreground;
};

// The item list of a combo cell: items separated by Tab; a Tab at the very end
// closes the last item rather than opening an empty one.
QStringList splitItems(const QString& list) {
    if (list.isEmpty()) return {};
    QStringList items = list.split(QLatin1Char('\t'));
    if (list.endsWith(QLatin1Char('\t'))) items.removeLast();
    return items;
}

bool isNavigationKey(int key) {
    return key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Return || key == Qt::Key_Enter ||
           key == Qt::Key_Escape;
}

bool isForward(int key, Qt::KeyboardModifiers mods) {
    if (key == Qt::Key_Backtab || key == Qt::Key_Escape) return false;
    if (key == Qt::Key_Tab) return !(mods & Qt::ShiftModifier);
    return true;  // Enter
}

// Cell editors answer the input method's Qt::ImEnabled query from their
// column's setting: QLineEdit and QComboBox answer it from their read-only
// state alone, so the input method would stay on in amount cells.
class CellLineEdit : public QLineEdit {
public:
    CellLineEdit(bool inputMethod, QWidget* parent) : QLineEdit(parent), inputMethod_(inputMethod) {
        setAttribute(Qt::WA_InputMethodEnabled, inputMethod);
        setInputMethodHints(inputMethod ? Qt::ImhNone : Qt::ImhLatinOnly);
    }
    using QLineEdit::inputMethodQuery;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override {
        if (query == Qt::ImEnabled) return inputMethod_ && QLineEdit::inputMethodQuery(query).toBool();
        return QLineEdit::inputMethodQuery(query);
    }

private:
    bool inputMethod_;
};

class CellComboBox : public QComboBox {
public:
    CellComboBox(bool editable, bool inputMethod, QWidget* parent)
        : QComboBox(parent), inputMethod_(editable && inputMethod) {
        setEditable(editable);
        setAttribute(Qt::WA_InputMethodEnabled, inputMethod_);
        setInputMethodHints(inputMethod_ ? Qt::ImhNone : Qt::ImhLatinOnly);
        if (QLineEdit* line = lineEdit()) {
            line->setAttribute(Qt::WA_InputMethodEnabled, inputMethod_);
            line->setInputMethodHints(inputMethodHints());
        }
        // The open list of a cell without the input method keeps it off as
        // every such list of the program does (platform/choicelists.h).
    }
    using QComboBox::inputMethodQuery;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override {
        if (query == Qt::ImEnabled) return inputMethod_ && isEnabled();
        QLineEdit* line = lineEdit();
        if (!line) return QComboBox::inputMethodQuery(query);
        // The text box inside answers in its own coordinates; the input method
        // places its candidate window from the combo's.
        const QVariant answer = line->inputMethodQuery(query);
        switch (query) {
            case Qt::ImCursorRectangle:
            case Qt::ImAnchorRectangle:
            case Qt::ImInputItemClipRectangle:
                return answer.toRectF().translated(line->pos());
            default:
                return answer;
        }
    }

private:
    bool inputMethod_;
};

}  // namespace

class SpreadModel;
class SpreadView;
class SpreadDelegate;

struct SpreadGrid::Impl {
    SpreadGrid* q = nullptr;
    SpreadModel* model = nullptr;
    SpreadView* view = nullptr;
    SpreadDelegate* delegate = nullptr;
    int programmatic = 0;  // > 0 while the grid itself moves the active cell
    bool reverting = false;
    bool redraw = true;
    int leftColumn = 1;
    std::vector<std::pair<int, int>> pendingChanges;  // committed user edits not yet signalled

    bool validCell(int row, int col) const;
    bool isNavigable(int row, int col) const;
    bool hasEditableCell() const;
    void navigate(int key, Qt::KeyboardModifiers mods, QWidget* editor);
    void move(bool forward);
    void enterAtEdge(bool first);
    void setCurrent(int row, int col);
    void commitEditor();
    void flushChanges();
    void updateInputMethod();
    bool inputMethodFor(int col) const;
    void trackLeftColumn();
};

// ---------------------------------------------------------------------------
// Model: the cells, their types and locks, the headers.

class SpreadModel : public QAbstractTableModel {
public:
    explicit SpreadModel(SpreadGrid::Impl* impl, QObject* parent) : QAbstractTableModel(parent), d(impl) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(cells.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(columns.size());
    }

    Cell& cell(int row, int col) { return cells[size_t(row - 1)][size_t(col - 1)]; }
    const Cell& cell(int row, int col) const { return cells[size_t(row - 1)][size_t(col - 1)]; }
    Column& column(int col) { return columns[size_t(col - 1)]; }
    const Column& column(int col) const { return columns[size_t(col - 1)]; }
    RowHeader& rowHeader(int row) { return rowHeaders[size_t(row - 1)]; }
    const RowHeader& rowHeader(int row) const { return rowHeaders[size_t(row - 1)]; }

    bool isNumberCell(int row, int col) const {
        return !cell(row, col).combo && column(col).type == SpreadGrid::ColumnType::Number;
    }
    bool isLocked(int row, int col) const { return cell(row, col).locked.value_or(column(col).locked); }

    // The canonical stored text of a cell for a text from code or the user.
    QString canonical(int row, int col, const QString& text) const {
        if (!isNumberCell(row, col)) return text;
        const std::optional<Currency> v = parseNumber(text);
        return v ? v->toText() : QString();
    }

    QString display(int row, int col) const {
        const Cell& c = cell(row, col);
        if (isNumberCell(row, col)) return formatNumber(parseNumber(c.text), column(col).format);
        return c.text;
    }

    void setCellText(int row, int col, const QString& text) {
        Cell& c = cell(row, col);
        const QString stored = canonical(row, col, text);
        if (c.text == stored) return;
        c.text = stored;
        emitCell(row, col);
    }

    // A committed editor: stores the text and remembers the change for
    // signalling. Typed text that is no number of a number cell's format is
    // refused whole: the cell keeps its value and the user is told why.
    void commitUserText(int row, int col, const QString& text) {
        if (!d->validCell(row, col)) return;
        Cell& c = cell(row, col);
        QString stored = canonical(row, col, text);
        if (isNumberCell(row, col)) {
            const TypedNumber typed = checkTypedNumber(text, column(col).format);
            if (!typed.ok) {
                QApplication::beep();
                showInputMessage(d->q, typed.message);
                return;
            }
            stored = typed.value ? typed.value->toText() : QString();
        }
        if (c.text == stored) return;
        c.text = stored;
        emitCell(row, col);
        d->pendingChanges.emplace_back(row, col);
    }

    void emitCell(int row, int col) {
        const QModelIndex i = index(row - 1, col - 1);
        emit dataChanged(i, i);
    }
    void emitColumn(int col) {
        if (cells.empty()) return;
        emit dataChanged(index(0, col - 1), index(int(cells.size()) - 1, col - 1));
    }

    void resizeRows(int rows) {
        rows = std::max(0, rows);
        const int now = int(cells.size());
        if (rows > now) {
            beginInsertRows({}, now, rows - 1);
            cells.resize(size_t(rows), std::vector<Cell>(columns.size()));
            rowHeaders.resize(size_t(rows));
            endInsertRows();
        } else if (rows < now) {
            beginRemoveRows({}, rows, now - 1);
            cells.resize(size_t(rows));
            rowHeaders.resize(size_t(rows));
            endRemoveRows();
        }
    }

    void resizeColumns(int cols) {
        cols = std::max(0, cols);
        const int now = int(columns.size());
        if (cols > now) {
            beginInsertColumns({}, now, cols - 1);
            columns.resize(size_t(cols));
            for (auto& row : cells) row.resize(size_t(cols));
            endInsertColumns();
        } else if (cols < now) {
            beginRemoveColumns({}, cols, now - 1);
            columns.resize(size_t(cols));
            for (auto& row : cells) row.resize(size_t(cols));
            endRemoveColumns();
        }
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        const int row = index.row() + 1;
        const int col = index.column() + 1;
        const Cell& c = cell(row, col);
        switch (role) {
            case Qt::DisplayRole:
                return display(row, col);
            case Qt::EditRole:
                return c.text;
            case Qt::ForegroundRole:
                return c.foreground.isValid() ? QVariant(c.foreground) : QVariant();
            case Qt::TextAlignmentRole:
                return isNumberCell(row, col) ? int(Qt::AlignRight | Qt::AlignVCenter)
                                              : int(Qt::AlignLeft | Qt::AlignVCenter);
            default:
                return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        const int n = section + 1;
        if (orientation == Qt::Horizontal) {
            if (n < 1 || n > int(columns.size())) return {};
            const Column& c = column(n);
            if (role == Qt::DisplayRole) return c.header;
            if (role == Qt::ForegroundRole && c.headerForeground.isValid()) return c.headerForeground;
            return {};
        }
        if (n < 1 || n > int(rowHeaders.size())) return {};
        const RowHeader& h = rowHeader(n);
        if (role == Qt::DisplayRole) return h.text.value_or(QString::number(n));
        if (role == Qt::ForegroundRole && h.foreground.isValid()) return h.foreground;
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid()) return Qt::NoItemFlags;
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (!isLocked(index.row() + 1, index.column() + 1)) f |= Qt::ItemIsEditable;
        return f;
    }

    void headerChanged(Qt::Orientation o, int section) {
        emit headerDataChanged(o, section - 1, section - 1);
    }

    std::vector<std::vector<Cell>> cells;
    std::vector<Column> columns;
    std::vector<RowHeader> rowHeaders;

private:
    SpreadGrid::Impl* d;
};

// ---------------------------------------------------------------------------
// View: the keys, the mouse and the active cell.

class SpreadView : public QTableView {
public:
    SpreadView(SpreadGrid::Impl* impl, QWidget* parent) : QTableView(parent), d(impl) {}

    void commitAndClose(QWidget* editor) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    bool editing() const { return state() == QAbstractItemView::EditingState; }
    // The open cell editor, or null.
    QWidget* openEditor() const {
        if (!editing()) return nullptr;
        for (QWidget* w : viewport()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (w->isVisible() && (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w))) return w;
        }
        return nullptr;
    }
    // Opens the editor of the active cell with a combo cell's list shown.
    void openList() {
        listRequested = true;
        QAbstractItemView::edit(currentIndex());
        listRequested = false;
    }
    QAbstractItemView::EditTrigger lastTrigger = QAbstractItemView::NoEditTriggers;
    bool listRequested = false;  // the user asked for a combo cell's list (arrow, F4, Alt+Down)
    bool openingForPreedit = false;  // the editor being opened takes a composition under way
    QPointer<QWidget> composingEditor;  // opened by a preedit: fed by the view until the commit
    QString composingPreedit;           // the text being composed into composingEditor
    QString finishedComposition;        // ended by a click; the input method may send it once more

    // Ends a composition under way in the open editor with the text it shows,
    // before a click moves the active cell: the input method is asked to hand
    // over what it holds (it sends the commit at once); one that does not is
    // reset and the preedit shown is taken as typed. Left to itself, the input
    // method would commit after the move, into the cell clicked. Some input
    // methods commit the word again when they are reset; that late copy is
    // dropped (see inputMethodEvent).
    void finishComposition() {
        if (!composingEditor || !editing() || composingPreedit.isEmpty()) return;
        const QString word = composingPreedit;
        QGuiApplication::inputMethod()->commit();
        if (composingEditor && !composingPreedit.isEmpty()) {
            QInputMethodEvent commit;
            commit.setCommitString(composingPreedit);
            composingPreedit.clear();
            QApplication::sendEvent(composingEditor, &commit);
            QGuiApplication::inputMethod()->reset();
        }
        finishedComposition = word;
    }

protected:
    bool event(QEvent* e) override {
        // Tab and Shift+Tab are taken here, before QWidget turns them into focus moves.
        if (e->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(e);
            if ((k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) &&
                !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
                d->navigate(k->key(), k->modifiers(), nullptr);
                return true;
            }
        }
        return QTableView::event(e);
    }

    void keyPressEvent(QKeyEvent* e) override {
        finishedComposition.clear();
        clickEdit.stop();
        if (isNavigationKey(e->key())) {
            d->navigate(e->key(), e->modifiers(), nullptr);
            return;
        }
        bool handled = false;
        emit d->q->keyDown(e->key(), e->modifiers(), handled);
        if (handled) return;
        const bool altDown = e->key() == Qt::Key_Down && (e->modifiers() & Qt::AltModifier);
        if ((e->key() == Qt::Key_F4 || altDown) && isOpenableCombo(currentIndex())) {
            openList();
            return;
        }
        QTableView::keyPressEvent(e);
    }

    bool isOpenableCombo(const QModelIndex& index) const {
        if (!index.isValid()) return false;
        const int row = index.row() + 1;
        const int col = index.column() + 1;
        return d->model->cell(row, col).combo && !d->model->isLocked(row, col);
    }

    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override {
        lastTrigger = trigger;
        return QTableView::edit(index, trigger, event);
    }

    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override {
        if (editor == composingEditor) composingEditor = nullptr;
        QTableView::closeEditor(editor, hint);
        d->flushChanges();
    }

    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override {
        if (!d->programmatic && !d->reverting && previous.isValid() && current.isValid() &&
            current != previous) {
            bool cancel = false;
            emit d->q->leaveCell(previous.row() + 1, previous.column() + 1, current.row() + 1,
                                 current.column() + 1, cancel);
            if (cancel) {
                d->reverting = true;
                selectionModel()->setCurrentIndex(previous, QItemSelectionModel::ClearAndSelect);
                d->reverting = false;
                return;
            }
        }
        QTableView::currentChanged(current, previous);
        d->updateInputMethod();
    }

    // The first input-method text typed on a cell opens its editor and goes
    // into it, as a first key does (so a combo cell's list stays closed).
    // A composition under way must not see the focus move: the input method
    // commits what it holds when the focus changes (the first romaji letter
    // would land raw in the cell and the rest start a new word). So the view
    // keeps the focus until the composition ends and hands each input-method
    // event to the editor; then the editor takes the focus.
    void inputMethodEvent(QInputMethodEvent* e) override {
        const bool commit = !e->commitString().isEmpty();
        const bool preedit = !e->preeditString().isEmpty();
        if (commit || preedit) clickEdit.stop();
        if (!finishedComposition.isEmpty() && (commit || preedit)) {
            const QString finished = std::exchange(finishedComposition, QString());
            if (!preedit && e->commitString() == finished) return;
        }
        if (composingEditor && editing()) {
            QPointer<QWidget> editor = composingEditor;
            composingPreedit = commit ? QString() : e->preeditString();
            QApplication::sendEvent(editor, e);
            // The editor takes the focus once the input method is done with
            // this event: moved while it is still delivering the commit, the
            // focus change would make it commit the same text a second time.
            if ((commit || !preedit) && editor) {
                QTimer::singleShot(0, this, [this, editor] {
                    if (!editor || editor != composingEditor) return;
                    composingEditor = nullptr;
                    editor->setFocusProxy(nullptr);
                    editor->setFocus();
                });
            }
            return;
        }
        if ((commit || preedit) && !editing() && currentIndex().isValid()) {
            openingForPreedit = preedit && !commit;
            const bool opened = edit(currentIndex(), AnyKeyPressed, nullptr);
            openingForPreedit = false;
            QWidget* editor = openEditor();
            if (opened && editor) {
                if (editor->focusProxy() == this) {
                    composingEditor = editor;
                    composingPreedit = commit ? QString() : e->preeditString();
                }
                QApplication::sendEvent(editor, e);
                QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
                return;
            }
        }
        QTableView::inputMethodEvent(e);
    }

    // The input method places its candidate window at the cursor of the open
    // cell editor, or at the active cell, in the view's coordinates.
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override {
        if (query == Qt::ImCursorRectangle || query == Qt::ImAnchorRectangle) {
            if (QWidget* editor = openEditor()) {
                const QRectF r = editor->inputMethodQuery(query).toRectF();
                return r.translated(editor->mapTo(this, QPoint(0, 0)));
            }
            if (currentIndex().isValid()) {
                return QRectF(visualRect(currentIndex()).translated(viewport()->mapTo(this, QPoint(0, 0))));
            }
        }
        return QTableView::inputMethodQuery(query);
    }

    // Entering a grid that has no active cell yet puts the cursor on its first
    // editable cell (its last one when coming back with Shift+Tab). Qt's own
    // handler switches the input method on for any editable cell; the cell's
    // column decides it here, or an amount cell would take the first digits
    // typed after the window gets the focus as a kana composition.
    void focusInEvent(QFocusEvent* e) override {
        if (!currentIndex().isValid() && e->reason() != Qt::MouseFocusReason)
            d->enterAtEdge(e->reason() != Qt::BacktabFocusReason);
        QTableView::focusInEvent(e);
        d->updateInputMethod();
    }

    void mousePressEvent(QMouseEvent* e) override {
        finishComposition();
        clickEdit.stop();
        const QModelIndex index = indexAt(e->position().toPoint());
        pressedOnCurrent = index.isValid() && index == currentIndex() && !editing() &&
                           e->button() == Qt::LeftButton && e->modifiers() == Qt::NoModifier;
        QTableView::mousePressEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        clickEdit.stop();
        QTableView::mouseDoubleClickEvent(e);
    }
    void focusOutEvent(QFocusEvent* e) override {
        clickEdit.stop();
        QTableView::focusOutEvent(e);
    }

public:
    // A click on the active cell opens its editor once the double-click
    // interval has passed (a second click within it is a double-click). The
    // view keeps that wait itself instead of leaving it to QAbstractItemView:
    // a key typed meanwhile opens the editor at once and ends the wait, so
    // the late start neither swallows the first keys nor replaces the editor
    // they opened. Anything else the user does first ends the wait too.
    QBasicTimer clickEdit;
    QPersistentModelIndex clickEditIndex;
    bool pressedOnCurrent = false;

protected:
    void timerEvent(QTimerEvent* e) override {
        if (e->timerId() != clickEdit.timerId()) {
            QTableView::timerEvent(e);
            return;
        }
        clickEdit.stop();
        if (clickEditIndex.isValid() && clickEditIndex == currentIndex() && !editing())
            QAbstractItemView::edit(clickEditIndex);
    }

private:
    SpreadGrid::Impl* d;
};

// ---------------------------------------------------------------------------
// Delegate: editors per cell type, and the keys inside an editor.

class SpreadDelegate : public QStyledItemDelegate {
public:
    SpreadDelegate(SpreadGrid::Impl* impl, QObject* parent) : QStyledItemDelegate(parent), d(impl) {}

    static QRect arrowRect(const QRect& cell) {
        const int side = std::min(cell.height(), 16);
        return QRect(cell.right() - side + 1, cell.top() + (cell.height() - side) / 2, side, side);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        // Only the grid that has the focus (itself or its cell editor) shows
        // its current cell solid; the others keep a thin frame around it, so
        // that a screen with several grids shows where typing goes.
        const QWidget* view = option.widget;
        const QWidget* focus = QApplication::focusWidget();
        const bool focused = view && focus && (focus == view || view->isAncestorOf(focus));
        if ((option.state & QStyle::State_Selected) && !focused) {
            QStyleOptionViewItem plain(option);
            plain.state &= ~QStyle::State_Selected;
            // The view has filled a selected cell already; cover that first.
            painter->fillRect(option.rect, option.palette.brush(QPalette::Base));
            QStyledItemDelegate::paint(painter, plain, index);
            painter->save();
            painter->setPen(option.palette.color(QPalette::Highlight));
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
            painter->restore();
        } else {
            QStyledItemDelegate::paint(painter, option, index);
        }
        const int row = index.row() + 1;
        const int col = index.column() + 1;
        const SpreadModel& m = *d->model;
        if (!m.cell(row, col).combo || m.isLocked(row, col)) return;
        // A drop-down mark tells a combo cell from a text cell.
        QStyleOption arrow;
        arrow.rect = arrowRect(option.rect).adjusted(3, 4, -3, -4);
        arrow.palette = option.palette;
        arrow.state = QStyle::State_Enabled;
        const QWidget* w = option.widget;
        (w ? w->style() : QApplication::style())
            ->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, painter, w);
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        const int row = index.row() + 1;
        const int col = index.column() + 1;
        const SpreadModel& m = *d->model;
        const Cell& c = m.cell(row, col);
        const bool im = d->inputMethodFor(col);
        QWidget* editor = nullptr;
        if (c.combo) {
            auto* combo = new CellComboBox(c.comboEditable, im, parent);
            combo->addItems(c.items);
            combo->setMaxVisibleItems(16);
            if (c.comboEditable) {
                combo->setInsertPolicy(QComboBox::NoInsert);
                new TextGuard(combo->lineEdit());
            }
            // Choosing an item ends the edit at once, so the screen reacts to the choice.
            QObject::connect(combo, &QComboBox::activated, combo,
                             [this, combo] { d->view->commitAndClose(combo); });
            // The list opens when the user asks for it (the arrow, F4, Alt+Down).
            // A list-only cell also opens it when its edit starts other than by
            // typing; a cell that takes text opens as a text box, so that what
            // is typed (through the input method too) goes into the cell.
            const bool typed = d->view->lastTrigger == QAbstractItemView::AnyKeyPressed;
            if (d->view->listRequested || (!c.comboEditable && !typed)) {
                QTimer::singleShot(0, combo, [combo] {
                    if (combo->isVisible()) combo->showPopup();
                });
            }
            editor = combo;
        } else {
            const bool number = m.isNumberCell(row, col);
            auto* line = new CellLineEdit(im && !number, parent);
            line->setFrame(false);
            if (number) {
                line->setValidator(new NumberValidator(m.column(col).format, line));
                line->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            } else {
                new TextGuard(line);
            }
            editor = line;
        }
        // Opened by a preedit: the view keeps the focus until the composition
        // ends (see SpreadView::inputMethodEvent).
        if (d->view->openingForPreedit) editor->setFocusProxy(d->view);
        const QString header = m.column(col).header;
        editor->setAccessibleName(header.isEmpty() ? QStringLiteral("%1列").arg(col) : header);
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        const Cell& c = d->model->cell(index.row() + 1, index.column() + 1);
        // The stored text is shown whole; the guard checks only what the user adds.
        QLineEdit* line = qobject_cast<QLineEdit*>(editor);
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            TextGuard::CodeSetting code(combo->lineEdit() ? guardOf(combo->lineEdit()) : nullptr);
            combo->setCurrentIndex(int(c.items.indexOf(c.text)));
            if (combo->isEditable()) combo->setEditText(c.text);
            line = combo->lineEdit();
        } else if (line) {
            TextGuard::CodeSetting code(guardOf(line));
            line->setText(c.text);
        }
        // An editor opened by typing (a key or the input method's first text)
        // starts with its text selected, so that what is typed replaces it:
        // Qt selects it only for a plain text box that takes the focus at once,
        // not for a combo cell nor for an editor opened during a composition.
        if (line && d->view->lastTrigger == QAbstractItemView::AnyKeyPressed && !d->view->editing())
            line->selectAll();
    }

    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
        const int row = index.row() + 1;
        const int col = index.column() + 1;
        QString text;
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            if (combo->isEditable()) {
                text = combo->currentText();
            } else if (combo->currentIndex() >= 0) {
                text = combo->itemText(combo->currentIndex());
            } else {
                return;  // nothing chosen: the cell keeps its text
            }
        } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            text = line->text();
        }
        d->model->commitUserText(row, col, text);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(event);
            if (isNavigationKey(k->key()) && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
                d->navigate(k->key(), k->modifiers(), qobject_cast<QWidget*>(object));
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    static TextGuard* guardOf(QLineEdit* line) {
        return qobject_cast<TextGuard*>(const_cast<QValidator*>(line->validator()));
    }

    SpreadGrid::Impl* d;
};

void SpreadView::mouseReleaseEvent(QMouseEvent* e) {
    QTableView::mouseReleaseEvent(e);
    const QModelIndex index = indexAt(e->position().toPoint());
    const bool onCurrent = std::exchange(pressedOnCurrent, false) && e->button() == Qt::LeftButton &&
                           index.isValid() && index == currentIndex();
    if (!index.isValid() || state() == EditingState) return;
    // A click on the drop-down mark of a combo cell opens its list.
    const int row = index.row() + 1;
    const int col = index.column() + 1;
    const bool onArrow = d->model->cell(row, col).combo && !d->model->isLocked(row, col) &&
                         SpreadDelegate::arrowRect(visualRect(index)).contains(e->position().toPoint());
    if (onArrow) {
        if (currentIndex() == index) openList();  // else the move was cancelled
        return;
    }
    if (onCurrent) {
        clickEditIndex = index;
        clickEdit.start(QApplication::doubleClickInterval(), this);
    }
}

// ---------------------------------------------------------------------------
// Navigation and signalling.

bool SpreadGrid::Impl::validCell(int row, int col) const {
    return row >= 1 && col >= 1 && row <= model->rowCount() && col <= model->columnCount();
}

bool SpreadGrid::Impl::isNavigable(int row, int col) const {
    return !q->isColumnHidden(col) && !model->isLocked(row, col);
}

bool SpreadGrid::Impl::hasEditableCell() const {
    for (int r = 1; r <= model->rowCount(); ++r) {
        for (int c = 1; c <= model->columnCount(); ++c) {
            if (isNavigable(r, c)) return true;
        }
    }
    return false;
}

void SpreadGrid::Impl::navigate(int key, Qt::KeyboardModifiers mods, QWidget* editor) {
    bool handled = false;
    emit q->keyDown(key, mods, handled);
    if (handled) return;
    if (editor) {
        view->commitAndClose(editor);
    } else {
        commitEditor();
    }
    move(isForward(key, mods));
}

void SpreadGrid::Impl::commitEditor() {
    if (QWidget* editor = view->openEditor()) view->commitAndClose(editor);
}

void SpreadGrid::Impl::move(bool forward) {
    const int rows = model->rowCount();
    const int cols = model->columnCount();
    int row = q->activeRow();
    int col = q->activeCol();
    if (row == 0) {  // no active cell: start before the first (after the last) cell
        row = forward ? 1 : rows;
        col = forward ? 0 : cols + 1;
    }
    while (row >= 1 && row <= rows) {
        col += forward ? 1 : -1;
        if (col > cols) {
            ++row;
            col = 0;
            continue;
        }
        if (col < 1) {
            --row;
            col = cols + 1;
            continue;
        }
        if (isNavigable(row, col)) {
            setCurrent(row, col);
            return;
        }
    }
    const bool connected = q->isSignalConnected(QMetaMethod::fromSignal(&SpreadGrid::advance));
    if (connected && hasEditableCell()) {
        emit q->advance(forward);
    } else {
        q->focusNextPrevChild(forward);
    }
}

void SpreadGrid::Impl::enterAtEdge(bool first) {
    const int rows = model->rowCount();
    const int cols = model->columnCount();
    for (int i = 0; i < rows * cols; ++i) {
        const int n = first ? i : rows * cols - 1 - i;
        const int row = n / cols + 1;
        const int col = n % cols + 1;
        if (isNavigable(row, col)) {
            ++programmatic;
            setCurrent(row, col);
            --programmatic;
            return;
        }
    }
}

void SpreadGrid::Impl::setCurrent(int row, int col) {
    const QModelIndex index = model->index(row - 1, col - 1);
    view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    view->scrollTo(index);
}

void SpreadGrid::Impl::flushChanges() {
    std::vector<std::pair<int, int>> changes;
    changes.swap(pendingChanges);
    for (const auto& [row, col] : changes) emit q->change(row, col);
}

bool SpreadGrid::Impl::inputMethodFor(int col) const {
    if (col < 1 || col > model->columnCount()) return false;
    const Column& c = model->column(col);
    return c.inputMethod.value_or(c.type == SpreadGrid::ColumnType::Text);
}

void SpreadGrid::Impl::updateInputMethod() {
    const int col = q->activeCol();
    const bool on = col >= 1 && inputMethodFor(col);
    if (view->testAttribute(Qt::WA_InputMethodEnabled) == on) return;
    view->setAttribute(Qt::WA_InputMethodEnabled, on);
    view->setInputMethodHints(on ? Qt::ImhNone : Qt::ImhLatinOnly);
    if (view->hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImEnabled | Qt::ImHints);
}

void SpreadGrid::Impl::trackLeftColumn() {
    const int left = view->columnAt(0) + 1;
    if (left == leftColumn || left < 1) return;
    const int old = leftColumn;
    leftColumn = left;
    emit q->topLeftChange(old, left);
}

// ---------------------------------------------------------------------------
// SpreadGrid

namespace {

// Marks the grid as moving its own active cell (no leaveCell) for a scope.
class Programmatic {
public:
    explicit Programmatic(int& counter) : counter_(counter) { ++counter_; }
    ~Programmatic() { --counter_; }

private:
    int& counter_;
};

}  // namespace

SpreadGrid::SpreadGrid(QWidget* parent) : QWidget(parent), d(std::make_unique<Impl>()) {
    d->q = this;
    d->model = new SpreadModel(d.get(), this);
    d->view = new SpreadView(d.get(), this);
    d->delegate = new SpreadDelegate(d.get(), d->view);
    d->view->setModel(d->model);
    d->view->setItemDelegate(d->delegate);
    d->view->setSelectionMode(QAbstractItemView::SingleSelection);
    d->view->setSelectionBehavior(QAbstractItemView::SelectItems);
    d->view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    d->view->setTabKeyNavigation(false);
    d->view->setWordWrap(false);
    d->view->setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    d->view->horizontalHeader()->setHighlightSections(false);
    d->view->verticalHeader()->setHighlightSections(false);
    d->view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(d->view);
    setFocusProxy(d->view);
    setFocusPolicy(Qt::StrongFocus);

    connect(d->view, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& i) { emit click(i.row() + 1, i.column() + 1); });
    connect(d->view, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& i) { emit doubleClick(i.row() + 1, i.column() + 1); });
    connect(d->view->verticalHeader(), &QHeaderView::sectionClicked, this,
            [this](int s) { emit click(s + 1, 0); });
    connect(d->view->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int s) { emit click(0, s + 1); });
    connect(d->view->verticalHeader(), &QHeaderView::sectionDoubleClicked, this,
            [this](int s) { emit doubleClick(s + 1, 0); });
    connect(d->view->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this,
            [this](int s) { emit doubleClick(0, s + 1); });
    connect(d->view->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int s, int, int) {
        if (!d->programmatic) emit colWidthChange(s + 1);
        d->trackLeftColumn();
    });
    connect(d->view->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { d->trackLeftColumn(); });
}

SpreadGrid::~SpreadGrid() = default;

QTableView* SpreadGrid::view() const {
    return d->view;
}

int SpreadGrid::maxRows() const {
    return d->model->rowCount();
}

void SpreadGrid::setMaxRows(int rows) {
    Programmatic guard(d->programmatic);
    d->model->resizeRows(rows);
}

int SpreadGrid::maxCols() const {
    return d->model->columnCount();
}

void SpreadGrid::setMaxCols(int cols) {
    Programmatic guard(d->programmatic);
    d->model->resizeColumns(cols);
}

QString SpreadGrid::text(int row, int col) const {
    if (row == 0 && col >= 1 && col <= maxCols()) return d->model->column(col).header;
    if (col == 0 && row >= 1 && row <= maxRows()) {
        return d->model->headerData(row - 1, Qt::Vertical, Qt::DisplayRole).toString();
    }
    if (!d->validCell(row, col)) return QString();
    return d->model->display(row, col);
}

void SpreadGrid::setText(int row, int col, const QString& text) {
    if (row == 0 && col >= 1 && col <= maxCols()) {
        d->model->column(col).header = text;
        d->model->headerChanged(Qt::Horizontal, col);
        return;
    }
    if (col == 0 && row >= 1 && row <= maxRows()) {
        d->model->rowHeader(row).text = text;
        d->model->headerChanged(Qt::Vertical, row);
        return;
    }
    if (!d->validCell(row, col)) return;
    d->model->setCellText(row, col, text);
}

QString SpreadGrid::value(int row, int col) const {
    if (!d->validCell(row, col)) return text(row, col);
    return d->model->cell(row, col).text;
}

void SpreadGrid::setValue(int row, int col, const QString& value) {
    setText(row, col, value);
}

std::optional<Currency> SpreadGrid::amount(int row, int col) const {
    if (!d->validCell(row, col)) return std::nullopt;
    return parseNumber(d->model->cell(row, col).text);
}

void SpreadGrid::setAmount(int row, int col, const std::optional<Currency>& amount) {
    setText(row, col, amount ? amount->toText() : QString());
}

void SpreadGrid::clearBlock(int row, int col, int row2, int col2) {
    row = std::max(row, 1);
    col = std::max(col, 1);
    row2 = std::min(row2, maxRows());
    col2 = std::min(col2, maxCols());
    for (int r = row; r <= row2; ++r) {
        for (int c = col; c <= col2; ++c) d->model->setCellText(r, c, QString());
    }
}

void SpreadGrid::setColumnType(int col, ColumnType type) {
    if (col < 1 || col > maxCols()) return;
    d->model->column(col).type = type;
    // Existing texts take the column's form (a number column keeps numbers only).
    for (int r = 1; r <= maxRows(); ++r) {
        Cell& c = d->model->cell(r, col);
        c.text = d->model->canonical(r, col, c.text);
    }
    d->model->emitColumn(col);
    d->updateInputMethod();
}

SpreadGrid::ColumnType SpreadGrid::columnType(int col) const {
    if (col < 1 || col > maxCols()) return ColumnType::Text;
    return d->model->column(col).type;
}

void SpreadGrid::setNumberFormat(int col, const NumberFormat& format) {
    if (col < 1 || col > maxCols()) return;
    d->model->column(col).format = format;
    d->model->emitColumn(col);
}

NumberFormat SpreadGrid::numberFormat(int col) const {
    if (col < 1 || col > maxCols()) return {};
    return d->model->column(col).format;
}

void SpreadGrid::setColumnWidth(int col, int pixels) {
    if (col < 1 || col > maxCols()) return;
    Programmatic guard(d->programmatic);
    d->view->setColumnWidth(col - 1, pixels);
}

int SpreadGrid::columnWidth(int col) const {
    if (col < 1 || col > maxCols()) return 0;
    return d->view->columnWidth(col - 1);
}

void SpreadGrid::setColumnHidden(int col, bool hidden) {
    if (col < 1 || col > maxCols()) return;
    Programmatic guard(d->programmatic);
    d->view->setColumnHidden(col - 1, hidden);
}

bool SpreadGrid::isColumnHidden(int col) const {
    if (col < 1 || col > maxCols()) return true;
    return d->view->isColumnHidden(col - 1) || d->view->columnWidth(col - 1) == 0;
}

void SpreadGrid::setColumnInputMethod(int col, bool on) {
    if (col < 1 || col > maxCols()) return;
    d->model->column(col).inputMethod = on;
    d->updateInputMethod();
}

bool SpreadGrid::columnInputMethod(int col) const {
    return d->inputMethodFor(col);
}

void SpreadGrid::setColumnLocked(int col, bool locked) {
    if (col < 1 || col > maxCols()) return;
    d->model->column(col).locked = locked;
    for (int r = 1; r <= maxRows(); ++r) d->model->cell(r, col).locked.reset();
    d->model->emitColumn(col);
}

int SpreadGrid::columnLeft(int col) const {
    if (col < 1 || col > maxCols()) return -1;
    const int x = d->view->columnViewportPosition(col - 1);
    return d->view->viewport()->mapTo(this, QPoint(x, 0)).x();
}

void SpreadGrid::setRowHeadersVisible(bool visible) {
    d->view->verticalHeader()->setVisible(visible);
}

void SpreadGrid::setColumnHeadersVisible(bool visible) {
    d->view->horizontalHeader()->setVisible(visible);
}

void SpreadGrid::setLocked(int row, int col, bool locked) {
    if (!d->validCell(row, col)) return;
    d->model->cell(row, col).locked = locked;
    d->model->emitCell(row, col);
}

bool SpreadGrid::isLocked(int row, int col) const {
    if (!d->validCell(row, col)) return true;
    return d->model->isLocked(row, col);
}

void SpreadGrid::setBlockLocked(int row, int col, int row2, int col2, bool locked) {
    row = std::max(row, 1);
    col = std::max(col, 1);
    row2 = std::min(row2, maxRows());
    col2 = std::min(col2, maxCols());
    for (int r = row; r <= row2; ++r) {
        for (int c = col; c <= col2; ++c) setLocked(r, c, locked);
    }
}

void SpreadGrid::setComboCell(int row, int col, const QString& tabSeparatedItems, bool editable) {
    if (!d->validCell(row, col)) return;
    Cell& c = d->model->cell(row, col);
    c.combo = true;
    c.comboEditable = editable;
    c.items = splitItems(tabSeparatedItems);
    d->model->emitCell(row, col);
}

void SpreadGrid::setPlainCell(int row, int col) {
    if (!d->validCell(row, col)) return;
    Cell& c = d->model->cell(row, col);
    c.combo = false;
    c.comboEditable = false;
    c.items.clear();
    c.text = d->model->canonical(row, col, c.text);
    d->model->emitCell(row, col);
}

bool SpreadGrid::isComboCell(int row, int col) const {
    return d->validCell(row, col) && d->model->cell(row, col).combo;
}

QStringList SpreadGrid::comboItems(int row, int col) const {
    if (!d->validCell(row, col)) return {};
    return d->model->cell(row, col).items;
}

void SpreadGrid::setComboCurrentIndex(int row, int col, int index) {
    if (!d->validCell(row, col)) return;
    const QStringList& items = d->model->cell(row, col).items;
    setText(row, col, index >= 0 && index < items.size() ? items.at(index) : QString());
}

int SpreadGrid::comboCurrentIndex(int row, int col) const {
    if (!d->validCell(row, col)) return -1;
    const Cell& c = d->model->cell(row, col);
    return int(c.items.indexOf(c.text));
}

void SpreadGrid::setForeground(int row, int col, const QColor& color) {
    if (row == 0 && col >= 1 && col <= maxCols()) {
        d->model->column(col).headerForeground = color;
        d->model->headerChanged(Qt::Horizontal, col);
    } else if (col == 0 && row >= 1 && row <= maxRows()) {
        d->model->rowHeader(row).foreground = color;
        d->model->headerChanged(Qt::Vertical, row);
    } else if (d->validCell(row, col)) {
        d->model->cell(row, col).foreground = color;
        d->model->emitCell(row, col);
    }
}

QColor SpreadGrid::foreground(int row, int col) const {
    if (row == 0 && col >= 1 && col <= maxCols()) return d->model->column(col).headerForeground;
    if (col == 0 && row >= 1 && row <= maxRows()) return d->model->rowHeader(row).foreground;
    if (!d->validCell(row, col)) return {};
    return d->model->cell(row, col).foreground;
}

int SpreadGrid::activeRow() const {
    const QModelIndex i = d->view->currentIndex();
    return i.isValid() ? i.row() + 1 : 0;
}

int SpreadGrid::activeCol() const {
    const QModelIndex i = d->view->currentIndex();
    return i.isValid() ? i.column() + 1 : 0;
}

void SpreadGrid::setActiveCell(int row, int col) {
    if (!d->validCell(row, col)) return;
    Programmatic guard(d->programmatic);
    d->setCurrent(row, col);
}

void SpreadGrid::moveToNextCell() {
    d->commitEditor();
    d->move(true);
}

void SpreadGrid::moveToPreviousCell() {
    d->commitEditor();
    d->move(false);
}

bool SpreadGrid::isEditing() const {
    return d->view->editing();
}

void SpreadGrid::setRedraw(bool on) {
    d->redraw = on;
    d->view->setUpdatesEnabled(on);
    if (on) d->view->viewport()->update();
}

bool SpreadGrid::redraw() const {
    return d->redraw;
}

void SpreadGrid::setAccessibleName(const QString& name) {
    QWidget::setAccessibleName(name);
    d->view->setAccessibleName(name);
}

}  // namespace platform
