#pragma once

#include <QString>
#include <QWidget>

class CCodeEditor;
class CLuaScriptEngine;
class CSwitch;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;

// The script panel: edits, loads, saves and reloads a Lua script, picks the
// engine's mode (0 frame parser, 1 script executor), switches frame parsing
// and starts or stops an automation run. The engine's state shows in one
// status line; a Lua error on a line of the edited file is marked there.
class CLuaScriptWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CLuaScriptWidget(CLuaScriptEngine* engine, QWidget* parent = nullptr);

    // The editor's placeholder while it is empty, translated.
    static QString placeholderText();

    int mode() const { return m_mode; }
    CCodeEditor* editor() const { return m_editor; }
    QLineEdit* pathEdit() const { return m_pathEdit; }
    QPushButton* loadButton() const { return m_loadBtn; }
    QPushButton* saveButton() const { return m_saveBtn; }
    QPushButton* reloadButton() const { return m_reloadBtn; }
    QPushButton* parserModeButton() const { return m_parserModeBtn; }
    QPushButton* executorModeButton() const { return m_executorModeBtn; }
    CSwitch* parserSwitch() const { return m_parserSwitch; }
    CSwitch* executorSwitch() const { return m_executorSwitch; }
    QLabel* statusLabel() const { return m_status; }

    // Replaces the editor's text with the file's, keeping the cursor (clamped)
    // and the scroll position. False, with the reason, when it cannot be read;
    // the editor then keeps its text.
    bool readScriptIntoEditor(const QString& path, QString* error = nullptr);
    // Writes the editor's text to `path` through a temporary file that replaces
    // the old one only when complete. False, with the reason, otherwise.
    bool writeScript(const QString& path, QString* error = nullptr);

    // The 1-based line of an error message that names `scriptPath`
    // ("<path>:<line>: ..."; Lua may shorten the path to "...<tail>"), 0 if none.
    // `detail` gets the text after the location.
    static int errorLineFor(const QString& message, const QString& scriptPath, QString* detail = nullptr);

Q_SIGNALS:
    void luaEngineStatusChanged(bool enable);
    void runScriptRequested();
    void stopScriptRequested();

public Q_SLOTS:
    void onAutomationStateChanged(bool running);
    void onOpenClicked();
    void onSaveClicked();
    void onReloadClicked();
    void onRunClicked();
    void onStopClicked();
    void onModeParserClicked();
    void onModeExecutorClicked();
    void onEnableToggled(bool enabled);
    void onEngineError(const QString& message);
    void onEngineStateChanged(bool enabled, bool loaded);
    void onSkinChanged(int skinType);

protected:
    void changeEvent(QEvent* event) override;

private:
    void onLoadFinished(bool ok);
    void onExecutorToggled(bool on);
    void setMode(int mode);
    void setStatus(const char* source, const QString& arg = QString(), bool error = false);
    void showStatus();
    void warn(const QString& text);
    QString askFileName(bool save);
    QString editedScriptPath() const;
    void retranslate();

    CLuaScriptEngine* m_engine = nullptr;
    int m_mode = 0;

    QLabel* m_title = nullptr;
    QLabel* m_pathLabel = nullptr;
    QLineEdit* m_pathEdit = nullptr;
    QPushButton* m_loadBtn = nullptr;
    QPushButton* m_saveBtn = nullptr;
    QPushButton* m_reloadBtn = nullptr;
    QLabel* m_modeLabel = nullptr;
    QButtonGroup* m_modeGroup = nullptr;
    QPushButton* m_parserModeBtn = nullptr;
    QPushButton* m_executorModeBtn = nullptr;
    QWidget* m_parserRow = nullptr;
    QLabel* m_parserLabel = nullptr;
    CSwitch* m_parserSwitch = nullptr;
    QWidget* m_executorRow = nullptr;
    QLabel* m_executorLabel = nullptr;
    CSwitch* m_executorSwitch = nullptr;
    QLabel* m_status = nullptr;
    CCodeEditor* m_editor = nullptr;

    // The status is kept as its source text so a language change can say it again.
    const char* m_statusSource = nullptr;
    QString m_statusArg;
    bool m_statusError = false;
};
