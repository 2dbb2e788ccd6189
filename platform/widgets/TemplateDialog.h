#pragma once

#include "DialogBuilder.h"

#include <QDialog>

#include <functional>

namespace talvo {

// The thin base of every window: a QDialog built from its template, with the original's
// OK/Cancel conventions (ids 1 and 2, Enter, Esc and the close box) and its initialisation
// hook. Modal showing goes through the interaction seam.
class TemplateDialog : public QDialog {
    Q_OBJECT
public:
    using enum StandardControlId;

    explicit TemplateDialog(const DialogTemplate& dialogTemplate, QWidget* parent = nullptr);

    const DialogTemplate& sourceTemplate() const { return m_template; }
    const DialogBaseUnits& baseUnits() const { return m_controls.baseUnits; }
    QSize templateClientSize() const { return m_controls.clientSize; }

    QWidget* control(int id) const { return m_controls.byId.value(id, nullptr); }
    template <class T> T* controlAs(int id) const { return qobject_cast<T*>(control(id)); }
    QString itemText(int id) const;
    void setItemText(int id, const QString& text);

    // Runs the dialog modally (through the seam) and returns IDOK, IDCANCEL or its own code.
    int doModal();
    // Creates a child template's window inside the parent and initialises it.
    void createAsChild(QWidget* parent);
    bool isInitialized() const { return m_initialized; }
    // Gives the focus to the first visible, enabled control that takes it by tab.
    void focusFirstControl();

    void accept() override;
    void reject() override;

protected:
    // Returns true to let the default focus apply, false when it set the focus itself.
    virtual bool onInitDialog() { return true; }
    virtual void onOk() { endDialog(IDOK); }
    virtual void onCancel() { endDialog(IDCANCEL); }
    void endDialog(int result) { done(result); }
    // Connects a push button's click to its handler.
    void onClicked(int id, std::function<void()> handler);

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void initialize();
    QPushButton* defaultButton() const;
    static bool isPlainEnter(const QKeyEvent* event);

    const DialogTemplate& m_template;
    BuiltControls m_controls;
    bool m_initialized = false;
};

} // namespace talvo
