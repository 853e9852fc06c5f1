#include "CLuaScriptWidget.h"

#include "AppConfig.h"
#include "CCodeEditor.h"
#include "CDialog.h"
#include "CLuaScriptEngine.h"
#include "CSwitch.h"
#include "SkinManager.h"
#include "StyleHelper.h"
#include "StyleWatcher.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

const char kFileFilter[] = QT_TRANSLATE_NOOP("CLuaScriptWidget", "Lua Files (*.lua);;All Files (*)");

QHBoxLayout* rowLayout(QWidget* row)
{
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    return layout;
}

} // namespace

CLuaScriptWidget::CLuaScriptWidget(CLuaScriptEngine* engine, QWidget* parent)
    : QWidget(parent), m_engine(engine)
{
    StyleHelper::setStyle(this, QStringLiteral("common"));
    // Room for the path row and about 60 columns of code.
    setMinimumWidth(440);
    m_title = new QLabel(this);
    m_title->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    StyleHelper::setStyle(m_title, QStringLiteral("title-lbl"));

    auto* pathRow = new QWidget(this);
    auto* pathLayout = rowLayout(pathRow);
    m_pathLabel = new QLabel(pathRow);
    m_pathEdit = new QLineEdit(pathRow);
    m_pathEdit->setFixedHeight(25);
    // The widths are minimums: a theme's padding or a longer translation
    // must not cut the words.
    m_loadBtn = new QPushButton(pathRow);
    m_loadBtn->setMinimumSize(60, 24);
    m_saveBtn = new QPushButton(pathRow);
    m_saveBtn->setMinimumSize(50, 24);
    m_reloadBtn = new QPushButton(pathRow);
    m_reloadBtn->setMinimumSize(55, 24);
    for (QPushButton* btn : {m_loadBtn, m_saveBtn, m_reloadBtn})
        btn->setFixedHeight(24);
    pathLayout->addWidget(m_pathLabel);
    pathLayout->addWidget(m_pathEdit, 1);
    pathLayout->addWidget(m_loadBtn);
    pathLayout->addWidget(m_saveBtn);
    pathLayout->addWidget(m_reloadBtn);

    auto* modeRow = new QWidget(this);
    auto* modeLayout = rowLayout(modeRow);
    m_modeLabel = new QLabel(modeRow);
    m_parserModeBtn = new QPushButton(modeRow);
    m_executorModeBtn = new QPushButton(modeRow);
    m_modeGroup = new QButtonGroup(this);
    m_modeGroup->setExclusive(true);
    for (QPushButton* btn : {m_parserModeBtn, m_executorModeBtn}) {
        btn->setCheckable(true);
        btn->setFixedHeight(24);
    }
    m_modeGroup->addButton(m_parserModeBtn, 0);
    m_modeGroup->addButton(m_executorModeBtn, 1);
    modeLayout->addWidget(m_modeLabel);
    modeLayout->addWidget(m_parserModeBtn);
    modeLayout->addWidget(m_executorModeBtn);
    modeLayout->addStretch(1);

    m_parserRow = new QWidget(this);
    auto* parserLayout = rowLayout(m_parserRow);
    m_parserLabel = new QLabel(m_parserRow);
    m_parserSwitch = new CSwitch(m_parserRow);
    parserLayout->addWidget(m_parserLabel);
    parserLayout->addWidget(m_parserSwitch);
    parserLayout->addStretch(1);

    m_executorRow = new QWidget(this);
    auto* executorLayout = rowLayout(m_executorRow);
    m_executorLabel = new QLabel(m_executorRow);
    m_executorSwitch = new CSwitch(m_executorRow);
    executorLayout->addWidget(m_executorLabel);
    executorLayout->addWidget(m_executorSwitch);
    executorLayout->addStretch(1);

    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_editor = new CCodeEditor(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    layout->addWidget(m_title);
    layout->addWidget(pathRow);
    layout->addWidget(modeRow);
    layout->addWidget(m_parserRow);
    layout->addWidget(m_executorRow);
    layout->addWidget(m_status);
    layout->addWidget(m_editor, 1);

    connect(m_loadBtn, &QPushButton::clicked, this, &CLuaScriptWidget::onOpenClicked);
    connect(m_saveBtn, &QPushButton::clicked, this, &CLuaScriptWidget::onSaveClicked);
    connect(m_reloadBtn, &QPushButton::clicked, this, &CLuaScriptWidget::onReloadClicked);
    connect(m_parserModeBtn, &QPushButton::clicked, this, &CLuaScriptWidget::onModeParserClicked);
    connect(m_executorModeBtn, &QPushButton::clicked, this, &CLuaScriptWidget::onModeExecutorClicked);
    connect(m_parserSwitch, &CSwitch::toggled, this, &CLuaScriptWidget::onEnableToggled);
    connect(m_executorSwitch, &CSwitch::toggled, this, &CLuaScriptWidget::onExecutorToggled);
    auto* save = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    save->setContext(Qt::WidgetWithChildrenShortcut);
    connect(save, &QShortcut::activated, this, &CLuaScriptWidget::onSaveClicked);

    if (m_engine) {
        connect(m_engine, &CLuaScriptEngine::scriptError, this, &CLuaScriptWidget::onEngineError);
        connect(m_engine, &CLuaScriptEngine::scriptStateChanged, this,
                &CLuaScriptWidget::onEngineStateChanged);
        connect(m_engine, &CLuaScriptEngine::automationStateChanged, this,
                &CLuaScriptWidget::onAutomationStateChanged);
        connect(m_engine, &CLuaScriptEngine::scriptLoadFinished, this, &CLuaScriptWidget::onLoadFinished);
    }
    connect(StyleWatcher::instance(), &StyleWatcher::skinChanged, this, &CLuaScriptWidget::onSkinChanged);
    SkinManager::instance()->registerWidget(this);

    // The mode is shown as stored; the session hands it to the engine.
    m_mode = AppConfig::LuaScriptMode == 1 ? 1 : 0;
    m_modeGroup->button(m_mode)->setChecked(true);
    m_parserRow->setVisible(m_mode == 0);
    m_executorRow->setVisible(m_mode == 1);

    m_pathEdit->setText(AppConfig::LuaScriptPath);
    if (QFileInfo(AppConfig::LuaScriptPath).isFile())
        readScriptIntoEditor(AppConfig::LuaScriptPath);
    setStatus(QT_TR_NOOP("No script loaded."));
    retranslate();
}

QString CLuaScriptWidget::placeholderText()
{
    return tr("-- Write your Lua script here...\n"
              "-- Frame Parser mode: define a cvn_frame_parser(data) function to process serial data.\n"
              "-- Script Executor mode: write the test flow at top level, Run executes the whole script:\n"
              "--   cvn_send(data), cvn_send_hex(\"AA BB\"), cvn_receive(timeout_ms),\n"
              "--   cvn_receive_until(match, timeout_ms), cvn_expect(cmd, expect, timeout_ms),\n"
              "--   cvn_sleep_ms(ms), cvn_clear_rx(), cvn_report(name, passed, detail)");
}

void CLuaScriptWidget::retranslate()
{
    m_title->setText(tr("Lua Script Engine"));
    m_pathLabel->setText(tr("Script Path: "));
    m_loadBtn->setText(tr("Load"));
    m_saveBtn->setText(tr("Save"));
    m_reloadBtn->setText(tr("Reload"));
    m_modeLabel->setText(tr("Mode Select: "));
    m_parserModeBtn->setText(tr("Frame Parser"));
    m_executorModeBtn->setText(tr("Script Executor"));
    m_parserLabel->setText(tr("Enable Frame Parser"));
    m_executorLabel->setText(tr("Enable Script Executor"));
    m_editor->setPlaceholderText(placeholderText());
    showStatus();
}

void CLuaScriptWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

// ---- status and messages ------------------------------------------------------

void CLuaScriptWidget::setStatus(const char* source, const QString& arg, bool error)
{
    m_statusSource = source;
    m_statusArg = arg;
    m_statusError = error;
    showStatus();
}

void CLuaScriptWidget::showStatus()
{
    if (!m_statusSource)
        return;
    QString text = tr(m_statusSource);
    if (!m_statusArg.isNull())
        text = text.arg(m_statusArg);
    m_status->setText(text);
    StyleHelper::setStyle(m_status, m_statusError ? QStringLiteral("error-lbl") : QStringLiteral("info-lbl"));
}

void CLuaScriptWidget::warn(const QString& text)
{
    CDialog::showMessage(this, tr("Warning"), text);
}

QString CLuaScriptWidget::askFileName(bool save)
{
    const QString start =
        save ? QFileInfo(AppConfig::LuaScriptPath).absolutePath() : AppConfig::LuaScriptPath;
    QFileDialog dialog(this, save ? tr("Save Lua Script") : tr("Load Lua Script"), start, tr(kFileFilter));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("lua"));
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

QString CLuaScriptWidget::editedScriptPath() const
{
    const QString field = m_pathEdit->text().trimmed();
    return field.isEmpty() && m_engine ? m_engine->scriptPath() : field;
}

// ---- files --------------------------------------------------------------------

bool CLuaScriptWidget::readScriptIntoEditor(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QString text = QString::fromUtf8(file.readAll());
    const int cursor = m_editor->textCursorPosition();
    const int scroll = m_editor->verticalScrollValue();
    m_editor->setPlainText(text);
    m_editor->setTextCursorPosition(cursor);
    m_editor->setVerticalScrollValue(scroll);
    return true;
}

bool CLuaScriptWidget::writeScript(const QString& path, QString* error)
{
    // A failed or interrupted write must not leave a half-written script in
    // place of the old one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = m_editor->toPlainText().toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

int CLuaScriptWidget::errorLineFor(const QString& message, const QString& scriptPath, QString* detail)
{
    if (scriptPath.isEmpty())
        return 0;
    static const QRegularExpression location(QStringLiteral(R"(([^\s:"'\[\]]+):(\d+):)"));
    const QString wanted = QFileInfo(scriptPath).fileName();
    for (auto it = location.globalMatch(message); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QString named = m.captured(1);
        // Lua shortens long chunk names to "...<tail of the path>".
        const bool shortened = named.startsWith(QLatin1String("..."));
        if (shortened)
            named = named.mid(3);
        const bool same = shortened
                              ? scriptPath.endsWith(named) && named.endsWith(wanted)
                              : QFileInfo(named).fileName() == wanted &&
                                    (named == QFileInfo(named).fileName() || scriptPath.endsWith(named));
        if (same) {
            if (detail)
                *detail = message.mid(m.capturedEnd()).trimmed();
            return m.captured(2).toInt();
        }
    }
    return 0;
}

// ---- buttons --------------------------------------------------------------------

void CLuaScriptWidget::onOpenClicked()
{
    const QString path = askFileName(false);
    if (path.isEmpty())
        return;
    m_pathEdit->setText(path);
    QString error;
    if (!readScriptIntoEditor(path, &error)) {
        setStatus(QT_TR_NOOP("Script read failed: %1"), error, true);
        return;
    }
    if (!m_engine)
        return;
    if (m_mode == 1) {
        if (m_engine->setScriptFile(path)) {
            m_editor->clearErrors();
            setStatus(QT_TR_NOOP("Script loaded"));
        }
    } else if (m_engine->loadScript(path)) {
        setStatus(QT_TR_NOOP("Loading script..."));
    }
}

void CLuaScriptWidget::onLoadFinished(bool ok)
{
    if (!ok) {
        m_parserSwitch->setChecked(false);
        setStatus(QT_TR_NOOP("Script load failed!"), QString(), true);
        return;
    }
    m_editor->clearErrors();
    if (m_mode == 0 && m_engine) {
        {
            const QSignalBlocker blocker(m_parserSwitch);
            m_parserSwitch->setChecked(true);
        }
        m_engine->setEnabled(true);
        Q_EMIT luaEngineStatusChanged(true);
    }
    setStatus(QT_TR_NOOP("Script loaded"));
}

void CLuaScriptWidget::onSaveClicked()
{
    if (!m_saveBtn->isEnabled())
        return;
    if (m_editor->toPlainText().isEmpty()) {
        warn(tr("Script editor is empty!"));
        return;
    }
    QString path = m_pathEdit->text().trimmed();
    if (path.isEmpty()) {
        path = askFileName(true);
        // Cancelled: nothing was written, so nothing is claimed.
        if (path.isEmpty())
            return;
    }
    QString error;
    if (!writeScript(path, &error)) {
        setStatus(QT_TR_NOOP("Script save failed: %1"), error, true);
        warn(tr("Script save failed: %1").arg(error));
        return;
    }
    m_pathEdit->setText(path);
    if (m_engine && m_engine->scriptPath().isEmpty()) {
        if (m_mode == 1) {
            if (m_engine->setScriptFile(path))
                m_editor->clearErrors();
        } else {
            m_engine->loadScript(path);
        }
    }
    // Said last: the engine's own state report must not hide it.
    setStatus(QT_TR_NOOP("Script save successfully!"));
}

void CLuaScriptWidget::onReloadClicked()
{
    if (!m_engine || !m_reloadBtn->isEnabled())
        return;
    QString error;
    if (m_engine->scriptPath().isEmpty()) {
        const QString path = m_pathEdit->text().trimmed();
        if (path.isEmpty()) {
            warn(tr("Please select a lua script file!"));
            return;
        }
        if (!readScriptIntoEditor(path, &error)) {
            setStatus(QT_TR_NOOP("Script read failed: %1"), error, true);
            return;
        }
        if (m_mode == 0) {
            if (m_engine->loadScript(path))
                setStatus(QT_TR_NOOP("Loading script..."));
        } else if (m_engine->setScriptFile(path)) {
            m_editor->clearErrors();
            setStatus(QT_TR_NOOP("Script reloaded successfully!"));
        }
        return;
    }
    if (m_mode == 0 && !m_engine->reloadScript())
        return;
    const QString path = m_engine->scriptPath();
    m_pathEdit->setText(path);
    if (!readScriptIntoEditor(path, &error)) {
        setStatus(QT_TR_NOOP("Script read failed: %1"), error, true);
        return;
    }
    m_editor->clearErrors();
    setStatus(QT_TR_NOOP("Script reloaded successfully!"));
}

void CLuaScriptWidget::onRunClicked()
{
    if (!m_engine || m_engine->scriptPath().isEmpty()) {
        {
            const QSignalBlocker blocker(m_executorSwitch);
            m_executorSwitch->setChecked(false);
        }
        warn(tr("Please load a lua script first!"));
        return;
    }
    if (!m_executorSwitch->isChecked()) {
        const QSignalBlocker blocker(m_executorSwitch);
        m_executorSwitch->setChecked(true);
    }
    Q_EMIT runScriptRequested();
    // A refused start (a load still running, or nobody listening) leaves no
    // run behind the switch; a run that started says so itself.
    if (!m_engine->isAutomationRunning()) {
        const QSignalBlocker blocker(m_executorSwitch);
        m_executorSwitch->setChecked(false);
    }
}

void CLuaScriptWidget::onStopClicked()
{
    Q_EMIT stopScriptRequested();
}

void CLuaScriptWidget::onExecutorToggled(bool on)
{
    if (on)
        onRunClicked();
    else
        onStopClicked();
}

// ---- mode and switches ----------------------------------------------------------

void CLuaScriptWidget::onModeParserClicked()
{
    setMode(0);
    setStatus(QT_TR_NOOP("Frame parser mode."));
}

void CLuaScriptWidget::onModeExecutorClicked()
{
    setMode(1);
    setStatus(QT_TR_NOOP("Script executor mode."));
}

void CLuaScriptWidget::setMode(int mode)
{
    {
        const QSignalBlocker blocker(m_modeGroup);
        const QSignalBlocker parserBlocker(m_parserModeBtn);
        const QSignalBlocker executorBlocker(m_executorModeBtn);
        m_modeGroup->button(mode)->setChecked(true);
    }
    m_mode = mode;
    m_parserRow->setVisible(mode == 0);
    m_executorRow->setVisible(mode == 1);
    if (mode == 0)
        m_executorSwitch->setChecked(false);
    else if (m_parserSwitch->isChecked())
        m_parserSwitch->setChecked(false);
    AppConfig::LuaScriptMode = mode;
    if (m_engine)
        m_engine->setMode(mode);
}

void CLuaScriptWidget::onEnableToggled(bool enabled)
{
    if (enabled && (!m_engine || m_engine->scriptPath().isEmpty())) {
        m_parserSwitch->setChecked(false);
        return;
    }
    if (m_engine)
        m_engine->setEnabled(enabled);
    Q_EMIT luaEngineStatusChanged(enabled);
}

// ---- engine signals ---------------------------------------------------------------

void CLuaScriptWidget::onAutomationStateChanged(bool running)
{
    {
        const QSignalBlocker blocker(m_executorSwitch);
        m_executorSwitch->setChecked(running);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{m_loadBtn, m_saveBtn, m_reloadBtn, m_parserSwitch,
                                                      m_parserModeBtn, m_executorModeBtn})
        w->setEnabled(!running);
    if (running) {
        m_editor->clearErrors();
        setStatus(QT_TR_NOOP("Automation running..."));
    } else {
        setStatus(QT_TR_NOOP("Automation finished."));
    }
    Q_EMIT luaEngineStatusChanged(running);
}

void CLuaScriptWidget::onEngineStateChanged(bool enabled, bool loaded)
{
    if (!loaded) {
        // The engine already knows; switching the parser off through the
        // switch's handler would only ask it again.
        if (m_parserSwitch->isChecked()) {
            {
                const QSignalBlocker blocker(m_parserSwitch);
                m_parserSwitch->setChecked(false);
            }
            Q_EMIT luaEngineStatusChanged(false);
        }
        setStatus(QT_TR_NOOP("No script loaded."));
        warn(tr("Please load a lua script first!"));
        return;
    }
    // The switch shows the engine's state also when the session switched it.
    if (m_parserSwitch->isChecked() != enabled && m_mode == 0) {
        {
            const QSignalBlocker blocker(m_parserSwitch);
            m_parserSwitch->setChecked(enabled);
        }
        Q_EMIT luaEngineStatusChanged(enabled);
    }
    if (enabled)
        setStatus(QT_TR_NOOP("Script enabled — %1"),
                  m_engine ? QFileInfo(m_engine->scriptPath()).fileName() : QString());
    else
        setStatus(QT_TR_NOOP("Script disabled."));
}

void CLuaScriptWidget::onEngineError(const QString& message)
{
    m_parserSwitch->setChecked(false);
    setStatus(QT_TR_NOOP("Lua engine error!!"), QString(), true);
    // The annotation sits under the line already, so it carries only the words.
    QString detail;
    const int line = errorLineFor(message, editedScriptPath(), &detail);
    if (line > 0)
        m_editor->setErrorLine(line, detail.isEmpty() ? message.trimmed() : detail);
}

void CLuaScriptWidget::onSkinChanged(int skinType)
{
    m_editor->onSkinChanged(skinType);
    StyleHelper::setStyle(m_status, m_statusError ? QStringLiteral("error-lbl") : QStringLiteral("info-lbl"));
}
