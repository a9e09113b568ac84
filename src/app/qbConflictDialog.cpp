#include "app/qbConflictDialog.h"

#include "app/qbPageView.h"
#include "app/qbSourceView.h"
#include "library/qbChangeMarks.h"
#include "platform/qbPageCodec.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

QString Modified(const QString& path) {
    return QFileInfo(path).lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

TqbConflictDialog::TqbConflictDialog(const QString& notePath, const QString& copyPath,
                                     const QByteArray& ours, const QByteArray& theirs,
                                     QWidget* parent)
    : QDialog(parent) {
    setObjectName("dlgConflict");
    setWindowTitle(QStringLiteral("충돌 사본 - %1").arg(QFileInfo(notePath).fileName()));
    resize(1000, 640);
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        QStringLiteral("다른 컴퓨터에서 따로 고친 판이 옆에 있습니다. 달라진 곳은 노란색으로 "
                       "보입니다. 어느 판을 남길지 고르십시오."),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(Side(QStringLiteral("이 컴퓨터의 판 (%1, %2)")
                              .arg(QFileInfo(notePath).fileName(), Modified(notePath)),
                          ours, theirs, notePath, "Ours"));
    split->addWidget(Side(QStringLiteral("다른 컴퓨터의 판 (%1, %2)")
                              .arg(QFileInfo(copyPath).fileName(), Modified(copyPath)),
                          theirs, ours, notePath, "Theirs"));
    layout->addWidget(split, 1);

    auto* buttons = new QDialogButtonBox(this);
    const auto add = [&](TChoice choice, const QString& caption, const char* name,
                         QDialogButtonBox::ButtonRole role) {
        QPushButton* button = buttons->addButton(caption, role);
        button->setObjectName(name);
        button->setAutoDefault(false);
        m_buttons.append({choice, button});
        connect(button, &QPushButton::clicked, this, [this, choice] {
            m_choice = choice;
            choice == TChoice::Later ? reject() : accept();
        });
    };
    add(TChoice::KeepThis, QStringLiteral("이 판 유지"), "btnKeepThis",
        QDialogButtonBox::ActionRole);
    add(TChoice::TakeOther, QStringLiteral("다른 판 선택"), "btnTakeOther",
        QDialogButtonBox::ActionRole);
    add(TChoice::KeepBoth, QStringLiteral("둘 다 유지"), "btnKeepBoth",
        QDialogButtonBox::ActionRole);
    add(TChoice::Merge, QStringLiteral("병합"), "btnMerge", QDialogButtonBox::ActionRole);
    add(TChoice::Later, QStringLiteral("나중에"), "btnLater", QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
}

QAbstractButton* TqbConflictDialog::Button(TChoice choice) const {
    for (const auto& [c, button] : m_buttons)
        if (c == choice)
            return button;
    return nullptr;
}

QWidget* TqbConflictDialog::Side(const QString& caption, const QByteArray& page,
                                 const QByteArray& other, const QString& notePath,
                                 const char* name) {
    auto* side = new QWidget(this);
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(caption, side);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto* tabs = new QTabWidget(side);
    auto* view = new TqbPageView(tabs);
    view->setObjectName(QStringLiteral("vwPage%1").arg(QLatin1String(name)));
    view->ShowPage(qbChangeMarks::Marked(page, other), notePath);
    tabs->addTab(view, QStringLiteral("보기"));
    auto* source = new QPlainTextEdit(tabs);
    source->setObjectName(QStringLiteral("txtSource%1").arg(QLatin1String(name)));
    source->setReadOnly(true);
    source->setFont(TqbSourceView::SourceFont());
    source->setLineWrapMode(QPlainTextEdit::NoWrap);
    source->setPlainText(qbPageCodec::Decode(page).Text);
    tabs->addTab(source, QStringLiteral("소스"));
    layout->addWidget(tabs, 1);
    return side;
}

TqbOverlapDialog::TqbOverlapDialog(const QString& noteName, const TqbMergeResult& result,
                                   QWidget* parent)
    : QDialog(parent) {
    setObjectName("dlgOverlaps");
    setWindowTitle(QStringLiteral("병합 - %1").arg(noteName));
    resize(900, 600);
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral("두 판이 같은 곳을 서로 다르게 고쳤습니다. 겹친 곳마다 "
                                            "남길 판을 고르십시오. 나머지는 둘 다 들어갑니다."),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    auto* list = new QWidget(scroll);
    auto* listLayout = new QVBoxLayout(list);
    // Blocks are pieces of one page: they decode in its charset.
    const QByteArray charset = qbPageCodec::Charset(TqbNoteMerge::Join(result, {}));
    for (const TqbMergePart& part : result.Parts) {
        if (!part.Overlap)
            continue;
        auto* box = new QGroupBox(QStringLiteral("겹친 곳 %1").arg(m_groups.size() + 1), list);
        auto* row = new QHBoxLayout(box);
        auto* group = new QButtonGroup(box);
        for (const bool ours : {true, false}) {
            auto* column = new QVBoxLayout;
            auto* pick = new QRadioButton(
                ours ? QStringLiteral("이 컴퓨터의 판") : QStringLiteral("다른 컴퓨터의 판"), box);
            group->addButton(pick, ours ? 1 : 0);
            pick->setChecked(ours);
            auto* shown = new QTextBrowser(box);
            shown->setOpenLinks(false);
            shown->setHtml(qbPageCodec::Decode(ours ? part.Ours : part.Theirs, charset));
            column->addWidget(pick);
            column->addWidget(shown);
            row->addLayout(column);
        }
        m_groups << group;
        listLayout->addWidget(box);
    }
    listLayout->addStretch();
    scroll->setWidget(list);
    layout->addWidget(scroll, 1);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("병합"), QDialogButtonBox::AcceptRole)
        ->setObjectName("btnMergeOverlaps");
    buttons->addButton(QStringLiteral("취소"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QList<bool> TqbOverlapDialog::TakeOurs() const {
    QList<bool> answers;
    for (const QButtonGroup* group : m_groups)
        answers << (group->checkedId() == 1);
    return answers;
}

void TqbOverlapDialog::Take(qsizetype overlap, bool ours) {
    m_groups.at(overlap)->button(ours ? 1 : 0)->setChecked(true);
}
