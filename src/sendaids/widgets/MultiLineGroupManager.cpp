#include "MultiLineGroupManager.h"

#include "ConfirmDialog.h"
#include "GroupNameDialog.h"
#include "IconHelper.h"
#include "MultiLineDataManager.h"
#include "MultiLineGroup.h"
#include "StyleHelper.h"

#include <QComboBox>
#include <QDebug>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
constexpr char32_t kFaFolderPlus = 0xF65E;
constexpr char32_t kFaTrash = 0xF1F8;
} // namespace

MultiLineGroupManager::MultiLineGroupManager(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MultiLineGroupManager"));
    m_title = new QLabel(this);
    StyleHelper::setStyle(m_title, QStringLiteral("title-lbl"));
    m_groupLabel = new QLabel(this);
    m_groupBox = new QComboBox(this);
    m_groupBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    const QFont glyphFont = IconHelper::instance()->fontAwesome(12);
    m_addGroup = new QPushButton(this);
    m_addGroup->setFixedSize(25, 25);
    m_addGroup->setFocusPolicy(Qt::NoFocus);
    m_addGroup->setFont(glyphFont);
    m_addGroup->setText(IconHelper::glyph(kFaFolderPlus));
    m_deleteGroup = new QPushButton(this);
    m_deleteGroup->setFixedSize(25, 25);
    m_deleteGroup->setFocusPolicy(Qt::NoFocus);
    m_deleteGroup->setFont(glyphFont);
    m_deleteGroup->setText(IconHelper::glyph(kFaTrash));
    m_pages = new QStackedWidget(this);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->setSpacing(4);
    header->addWidget(m_groupLabel);
    header->addWidget(m_groupBox, 1);
    header->addWidget(m_addGroup);
    header->addWidget(m_deleteGroup);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(m_title);
    layout->addLayout(header);
    layout->addWidget(m_pages, 1);

    connect(m_groupBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (MultiLineGroup* g = m_groups.value(m_groupBox->itemText(index)))
            m_pages->setCurrentWidget(g);
    });
    connect(m_addGroup, &QPushButton::clicked, this, &MultiLineGroupManager::onAddGroupClicked);
    connect(m_deleteGroup, &QPushButton::clicked, this, &MultiLineGroupManager::onDeleteGroupClicked);
    retranslate();
}

// ---- groups --------------------------------------------------------------------

MultiLineGroup* MultiLineGroupManager::addGroup(const QString& name)
{
    if (name.trimmed().isEmpty() || m_groups.contains(name))
        return nullptr;
    return createGroup(name);
}

MultiLineGroup* MultiLineGroupManager::createGroup(const QString& name)
{
    auto* g = new MultiLineGroup(name, m_pages);
    m_groups.insert(name, g);
    m_running.insert(name, false);
    m_pages->addWidget(g);
    connect(g, &MultiLineGroup::writeRequest, this, &MultiLineGroupManager::writeRequest);
    connect(g, &MultiLineGroup::loopSendStatusChanged, this, &MultiLineGroupManager::onLoopSendStatusChanged);
    m_groupBox->addItem(name);
    m_groupBox->setCurrentIndex(m_groupBox->count() - 1);
    m_pages->setCurrentWidget(g);
    return g;
}

bool MultiLineGroupManager::removeGroup(const QString& name)
{
    MultiLineGroup* g = m_groups.value(name);
    if (!g)
        return false;
    // A looping group that goes away must not leave the activity mark on.
    g->stopLoop();
    setRunning(name, false);
    m_running.remove(name);
    disconnect(g, nullptr, this, nullptr);
    m_groups.remove(name);
    m_groupBox->removeItem(m_groupBox->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive));
    m_pages->removeWidget(g);
    g->deleteLater();
    if (MultiLineGroup* shown = m_groups.value(m_groupBox->currentText()))
        m_pages->setCurrentWidget(shown);
    return true;
}

MultiLineGroup* MultiLineGroupManager::currentGroup() const
{
    return m_groupBox->currentIndex() < 0 ? nullptr : m_groups.value(m_groupBox->currentText());
}

QStringList MultiLineGroupManager::groupNames() const
{
    QStringList names;
    for (int i = 0; i < m_groupBox->count(); ++i)
        names << m_groupBox->itemText(i);
    return names;
}

void MultiLineGroupManager::onAddGroupClicked()
{
    GroupNameDialog dlg(this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    addGroup(dlg.name());
}

void MultiLineGroupManager::onDeleteGroupClicked()
{
    MultiLineGroup* g = currentGroup();
    if (!g)
        return;
    const QString name = g->name();
    if (ConfirmDialog::ask(this, tr("Warning"), tr("Are you sure you want to delete [%1] group?").arg(name)))
        removeGroup(name);
}

// ---- loops ---------------------------------------------------------------------

bool MultiLineGroupManager::isLoopRunning() const
{
    for (bool running : m_running) {
        if (running)
            return true;
    }
    return false;
}

void MultiLineGroupManager::setRunning(const QString& name, bool running)
{
    if (!m_running.contains(name))
        return;
    const bool before = isLoopRunning();
    m_running[name] = running;
    const bool after = isLoopRunning();
    if (before != after)
        Q_EMIT loopSendStatusChanged(after);
}

void MultiLineGroupManager::onLoopSendStatusChanged(QString name, bool status)
{
    setRunning(name, status);
}

void MultiLineGroupManager::stopAll()
{
    for (auto it = m_groups.cbegin(); it != m_groups.cend(); ++it) {
        it.value()->stopLoop();
        m_running[it.key()] = false;
    }
    Q_EMIT loopSendStatusChanged(false);
}

// ---- file ----------------------------------------------------------------------

bool MultiLineGroupManager::importFile(const QString& path, QString* error)
{
    QList<MultiLineDataManager::Group> stored;
    QString reason;
    bool ok = MultiLineDataManager::load(path, stored, &reason);
    if (ok) {
        for (const MultiLineDataManager::Group& g : std::as_const(stored)) {
            if (m_groups.contains(g.name)) {
                qWarning().noquote() << "import multi line data failed!";
                reason = tr("The group name \"%1\" is used twice.").arg(g.name);
                ok = false;
                break;
            }
            createGroup(g.name)->appendLines(g.lines);
        }
        // The first group is the one shown.
        if (m_groupBox->count() > 0)
            m_groupBox->setCurrentIndex(0);
    }
    if (ok)
        return true;
    if (error)
        *error = reason;
    keepFailedFile(path, reason);
    return false;
}

void MultiLineGroupManager::keepFailedFile(const QString& path, const QString& reason)
{
    // Whatever did not load would be gone at the next save, which writes only
    // what is in the panel: keep the file's content first.
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return;
    if (info.isFile() && info.size() == 0)
        return;
    QString copyError;
    const QString copy = MultiLineDataManager::keepBackup(path, &copyError);
    if (!copy.isEmpty()) {
        qWarning().noquote() << "[MultiLineGroupManager]" << path << "did not load:" << reason << "- kept as"
                             << copy;
        m_loadNotice =
            tr("The multi-line groups in %1 could not be loaded (%2).\nA copy of the file was kept as %3.")
                .arg(path, reason, copy);
        return;
    }
    qWarning().noquote() << "[MultiLineGroupManager]" << path << "did not load:" << reason
                         << "- no copy:" << copyError;
    m_protectedFiles.insert(QFileInfo(path).absoluteFilePath());
    m_loadNotice =
        tr("The multi-line groups in %1 could not be loaded (%2), and no copy could be made (%3).\n"
           "The file will not be written over.")
            .arg(path, reason, copyError);
}

bool MultiLineGroupManager::saveFile(const QString& path, QString* error)
{
    if (m_protectedFiles.contains(QFileInfo(path).absoluteFilePath())) {
        const QString reason = tr("%1 could not be loaded and is kept as it is.").arg(path);
        qWarning().noquote() << "mulit line data save failed" << reason;
        if (error)
            *error = reason;
        return false;
    }
    QList<MultiLineDataManager::Group> groups;
    for (auto it = m_groups.cbegin(); it != m_groups.cend(); ++it)
        groups.append({it.key(), it.value()->lineData()});
    return MultiLineDataManager::save(path, groups, error);
}

QString MultiLineGroupManager::takeLoadNotice()
{
    QString notice;
    notice.swap(m_loadNotice);
    return notice;
}

// ---- texts ---------------------------------------------------------------------

void MultiLineGroupManager::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void MultiLineGroupManager::retranslate()
{
    setWindowTitle(tr("Multi Line Manager"));
    m_title->setText(tr("Multi Line Manager"));
    m_groupLabel->setText(tr("Group:"));
    m_addGroup->setToolTip(tr("Add Group"));
    m_deleteGroup->setToolTip(tr("Delete Group"));
}
