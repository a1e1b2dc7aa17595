#include "app/MergeWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QUndoCommand>
#include <QUndoStack>
#include <QVBoxLayout>

#include "app/AppText.h"
#include "app/Application.h"
#include "app/RichEditBridge.h"
#include "app/WindowParts.h"
#include "diff/dvDiffEngine.h"
#include "diffview/dvDiffViewer.h"
#include "document/QuillcrafterDoc.h"
#include "qtbridge/QtText.h"
#include "toolkit/Classes.h"

namespace app {

namespace {

const char* const kClassNames[] = {
    QT_TRANSLATE_NOOP("app::TfrmMerge", "Kept"),    QT_TRANSLATE_NOOP("app::TfrmMerge", "Ours"),
    QT_TRANSLATE_NOOP("app::TfrmMerge", "Theirs"),  QT_TRANSLATE_NOOP("app::TfrmMerge", "Merged"),
    QT_TRANSLATE_NOOP("app::TfrmMerge", "Added"),   QT_TRANSLATE_NOOP("app::TfrmMerge", "Deleted"),
    QT_TRANSLATE_NOOP("app::TfrmMerge", "Conflict")};

QString ActionText(TMergeAction action) {
  switch (action) {
    case TMergeAction::Kept:
      return TfrmMerge::tr("kept");
    case TMergeAction::Ours:
      return TfrmMerge::tr("ours");
    case TMergeAction::Theirs:
      return TfrmMerge::tr("theirs");
    case TMergeAction::Same:
    case TMergeAction::Merged:
      return TfrmMerge::tr("merged");
    case TMergeAction::Added:
      return TfrmMerge::tr("added");
    case TMergeAction::Deleted:
      return TfrmMerge::tr("deleted");
    case TMergeAction::Conflict:
      return TfrmMerge::tr("conflict");
  }
  return {};
}

QString StateText(TMergeRowState state) {
  switch (state) {
    case TMergeRowState::Automatic:
      return TfrmMerge::tr("automatic");
    case TMergeRowState::Conflict:
      return TfrmMerge::tr("conflict");
    case TMergeRowState::Resolved:
      return TfrmMerge::tr("resolved");
  }
  return {};
}

QString DecisionState(const TMergeDecision& d) {
  if (!d.IsConflict()) return TfrmMerge::tr("automatic");
  if (d.Resolution == TMergeResolution::Unresolved) return TfrmMerge::tr("conflict");
  if (d.ChosenValue) return TfrmMerge::tr("resolved: chosen lines");
  return TfrmMerge::tr("resolved: %1").arg(QString::fromLatin1(MergeResolutionName(d.Resolution)));
}

QString RowTitle(const TMergeDecision& d) {
  if (d.Level == TMergeLevel::Item)
    return QStringLiteral("[%1] %2").arg(QString::fromStdString(d.Part), ToQString(d.Name));
  return ToQString(d.Title);
}

void LoadText(TRichEdit& richEdit, const std::string& text) {
  TMemoryStream stream;
  stream.WriteString(text);
  stream.SetPosition(0);
  RichEditLoadFromStream(richEdit, stream);
}

/// An empty base merges two ways: every topic is new on the side that has it.
void LoadProject(TQuillcrafterDoc& doc, const QString& fileName, bool mayBeEmpty) {
  if (mayBeEmpty && (fileName == QLatin1String("/dev/null") || QFileInfo(fileName).size() == 0)) return;
  doc.LoadFromFile(FileNameToCore(fileName));
}

/// One choice as a step of the undo stack.
class TMergeChoiceCommand : public QUndoCommand {
 public:
  TMergeChoiceCommand(TfrmMerge& window, TMergePlan& plan, TMergeChoice choice, const QString& text)
      : QUndoCommand(text), FWindow(window), FPlan(plan), FChoice(std::move(choice)) {}
  void redo() override { Step(true); }
  void undo() override { Step(false); }

 private:
  void Step(bool forward) {
    ApplyChoice(FPlan, FChoice, forward);
    FWindow.ChoiceApplied(FChoice, forward);
  }
  TfrmMerge& FWindow;
  TMergePlan& FPlan;
  TMergeChoice FChoice;
};

}  // namespace

TMergeClass MergeClassOf(TMergeAction action) {
  switch (action) {
    case TMergeAction::Kept:
      return TMergeClass::Kept;
    case TMergeAction::Ours:
      return TMergeClass::Ours;
    case TMergeAction::Theirs:
      return TMergeClass::Theirs;
    case TMergeAction::Same:
    case TMergeAction::Merged:
      return TMergeClass::Merged;
    case TMergeAction::Added:
      return TMergeClass::Added;
    case TMergeAction::Deleted:
      return TMergeClass::Deleted;
    case TMergeAction::Conflict:
      return TMergeClass::Conflict;
  }
  return TMergeClass::Kept;
}

// --- The list ------------------------------------------------------------------

TMergeListModel::TMergeListModel(QObject* parent) : QAbstractTableModel(parent) { FShown.fill(true); }

void TMergeListModel::Reset(const TMergePlan* plan, const std::vector<TMergeRow>* rows) {
  beginResetModel();
  FPlan = plan;
  FRows = rows;
  Refilter();
  endResetModel();
}

void TMergeListModel::SetClassShown(TMergeClass mergeClass, bool shown) {
  if (FShown[static_cast<size_t>(mergeClass)] == shown) return;
  beginResetModel();
  FShown[static_cast<size_t>(mergeClass)] = shown;
  Refilter();
  endResetModel();
}

void TMergeListModel::Refilter() {
  FVisible.clear();
  FIndexOfRow.assign(FRows ? FRows->size() : 0, -1);
  if (FPlan == nullptr || FRows == nullptr) return;
  for (size_t i = 0; i < FRows->size(); ++i) {
    if (!FShown[static_cast<size_t>(MergeClassOf(RowAction(*FPlan, (*FRows)[i])))]) continue;
    FIndexOfRow[i] = static_cast<int>(FVisible.size());
    FVisible.push_back(static_cast<int>(i));
  }
}

int TMergeListModel::RowAt(int index) const {
  return index >= 0 && index < static_cast<int>(FVisible.size()) ? FVisible[static_cast<size_t>(index)] : -1;
}

int TMergeListModel::IndexOf(int row) const {
  return row >= 0 && row < static_cast<int>(FIndexOfRow.size()) ? FIndexOfRow[static_cast<size_t>(row)] : -1;
}

void TMergeListModel::RowChanged(int row) {
  const int at = IndexOf(row);
  if (at >= 0) Q_EMIT dataChanged(index(at, 0), index(at, columnCount() - 1));
}

int TMergeListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(FVisible.size());
}

int TMergeListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 4; }

QVariant TMergeListModel::data(const QModelIndex& index, int role) const {
  const int row = RowAt(index.row());
  if (row < 0) return {};
  const TMergeRow& r = (*FRows)[static_cast<size_t>(row)];
  const TMergeDecision& d = FPlan->Decisions[static_cast<size_t>(r.First)];
  if (role == Qt::DisplayRole) {
    switch (index.column()) {
      case 0:
        return RowTitle(d);
      case 1: {
        const int32_t id = d.OursID >= 0 ? d.OursID : d.TheirsID >= 0 ? d.TheirsID : d.BaseID;
        return id >= 0 ? QVariant(id) : QVariant();
      }
      case 2:
        return ActionText(RowAction(*FPlan, r));
      default:
        return StateText(RowState(*FPlan, r));
    }
  }
  if (role == Qt::ForegroundRole && RowState(*FPlan, r) == TMergeRowState::Conflict)
    return QColor(Qt::red).darker(130);
  return {};
}

QVariant TMergeListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case 0:
      return TfrmMerge::tr("Topic");
    case 1:
      return TfrmMerge::tr("ID");
    case 2:
      return TfrmMerge::tr("Action");
    default:
      return TfrmMerge::tr("State");
  }
}

// --- The window ------------------------------------------------------------------

TfrmMerge::TfrmMerge(QWidget* parent)
    : QWidget(parent, Qt::Window),
      FPlan(std::make_unique<TMergePlan>()),
      FUndo(new QUndoStack(this)),
      FModel(new TMergeListModel(this)),
      FEngine(std::make_unique<TdvDiffEngine>()) {
  setObjectName(QStringLiteral("frmMerge"));
  const char* titles[] = {QT_TR_NOOP("Open the Base Project"), QT_TR_NOOP("Open Our Project"),
                          QT_TR_NOOP("Open Their Project"), QT_TR_NOOP("Save the Merged Project As")};
  for (size_t i = 0; i < FDialogs.size(); ++i) {
    FDialogs[i] =
        std::make_unique<TFileDialog>(this, i < 3 ? TFileDialog::TKind::dkOpen : TFileDialog::TKind::dkSave);
    FDialogs[i]->SetTitle(tr(titles[i]));
    FDialogs[i]->SetFilter(tr("Quillcrafter File (*.qcp)|*.qcp"));
    FDialogs[i]->SetDefaultExt(QStringLiteral("qcp"));
    FDialogs[i]->SetOptions(i < 3 ? TOpenOption::ofFileMustExist | TOpenOption::ofEnableSizing
                                  : TOpenOption::ofOverwritePrompt | TOpenOption::ofEnableSizing);
  }

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  CreateCommands();
  auto* outer = new QSplitter(Qt::Horizontal, this);
  layout->addWidget(outer, 1);

  // The list, under its class switches.
  auto* left = new QWidget(outer);
  auto* leftLayout = new QVBoxLayout(left);
  leftLayout->setContentsMargins(4, 4, 4, 4);
  auto* switches = new QHBoxLayout;
  switches->setSpacing(2);
  for (size_t i = 0; i < FClassButtons.size(); ++i) {
    auto* button = new QToolButton(left);
    button->setObjectName(QStringLiteral("MergeClass%1").arg(i));
    button->setCheckable(true);
    button->setChecked(true);
    connect(button, &QToolButton::toggled, this, [this, i](bool on) {
      Handle([&] {
        FModel->SetClassShown(static_cast<TMergeClass>(i), on);
        SelectRow(FSelectedRow);
      });
    });
    switches->addWidget(button);
    FClassButtons[i] = button;
  }
  switches->addStretch();
  leftLayout->addLayout(switches);
  FList = new QTreeView(left);
  FList->setObjectName(QStringLiteral("MergeList"));
  FList->setRootIsDecorated(false);
  FList->setUniformRowHeights(true);
  FList->setAllColumnsShowFocus(true);
  FList->setModel(FModel);
  FList->header()->setStretchLastSection(false);
  FList->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  leftLayout->addWidget(FList);
  connect(FList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (FFilling) return;
            Handle([&] { SelectRow(FModel->RowAt(current.row())); });
          });

  // The selected topic: the sides, their difference, the decisions, the result.
  FTopicView = new QWidget(outer);
  FTopicView->setObjectName(QStringLiteral("MergeTopicView"));
  auto* right = new QVBoxLayout(FTopicView);
  right->setContentsMargins(4, 4, 4, 4);
  auto* vertical = new QSplitter(Qt::Vertical, FTopicView);
  right->addWidget(vertical);
  auto* sides = new QSplitter(Qt::Horizontal, vertical);
  const auto sidePane = [&](TCaptionGroupBox*& group, TRichEdit*& text, const QString& caption,
                            const char* name) {
    group = new TCaptionGroupBox(caption, sides);
    auto* box = new QVBoxLayout(group);
    text = NewTopicRichEdit(group, name);
    box->addWidget(RichEditWidget(text));
  };
  TCaptionGroupBox* oursGroup = nullptr;
  TCaptionGroupBox* theirsGroup = nullptr;
  sidePane(FBaseGroup, FBaseText, tr("Base"), "MergeBaseText");
  sidePane(oursGroup, FOursText, tr("Ours"), "MergeOursText");
  sidePane(theirsGroup, FTheirsText, tr("Theirs"), "MergeTheirsText");
  FBaseGroup->hide();
  FViewer = new TdvDiffViewer(vertical);
  FViewer->setObjectName(QStringLiteral("MergeDiffViewer"));
  FViewer->SetSrc1Label(FromQString(tr("Ours")));
  FViewer->SetSrc2Label(FromQString(tr("Theirs")));
  FViewer->SetDiffEngine(FEngine.get());
  FDecisions = new QTreeWidget(vertical);
  FDecisions->setObjectName(QStringLiteral("MergeDecisions"));
  FDecisions->setRootIsDecorated(false);
  FDecisions->setHeaderLabels({tr("Change"), tr("Action"), tr("State")});
  connect(FDecisions, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (FFilling || item == nullptr) return;
    FSelectedDecision = item->data(0, Qt::UserRole).toInt();
  });
  TCaptionGroupBox* resultGroup = new TCaptionGroupBox(tr("Result"), vertical);
  auto* resultBox = new QVBoxLayout(resultGroup);
  FResultText = NewTopicRichEdit(resultGroup, "MergeResultText");
  resultBox->addWidget(RichEditWidget(FResultText));
  vertical->setStretchFactor(0, 3);
  vertical->setStretchFactor(1, 2);
  vertical->setStretchFactor(2, 1);
  vertical->setStretchFactor(3, 3);
  outer->setStretchFactor(0, 2);
  outer->setStretchFactor(1, 3);

  FStatus = new QLabel(this);
  FStatus->setObjectName(QStringLiteral("MergeStatus"));
  FStatus->setContentsMargins(6, 2, 6, 2);
  layout->addWidget(FStatus);
  connect(FUndo, &QUndoStack::indexChanged, this, [this] { UpdateTitle(); });
  resize(1400, 900);
  UpdateStatus();
}

TfrmMerge::~TfrmMerge() {
  // The steps and the viewer point at the plan and the engine.
  FUndo->disconnect(this);
  FUndo->clear();
  FViewer->SetDiffEngine(nullptr);
}

template <class F>
void TfrmMerge::Handle(F&& handler) {
  RunHandler(std::forward<F>(handler));
}

void TfrmMerge::CreateCommands() {
  struct TDesign {
    TMergeCommand Command;
    const char* Name;
    const char* Text;
    QKeySequence Keys;
    int Menu;  // 0 file, 1 edit, 2 view
  };
  const TDesign designs[] = {
      {TMergeCommand::Save, "MergeSaveAction", QT_TR_NOOP("&Save Merged File"), QKeySequence::Save, 0},
      {TMergeCommand::Close, "MergeCloseAction", QT_TR_NOOP("&Close"), QKeySequence(Qt::CTRL | Qt::Key_W), 0},
      {TMergeCommand::Undo, "MergeUndoAction", QT_TR_NOOP("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z), 1},
      {TMergeCommand::Redo, "MergeRedoAction", QT_TR_NOOP("&Redo"),
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), 1},
      {TMergeCommand::TopicOurs, "TopicOursAction", QT_TR_NOOP("Topic: Take &Ours"),
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_1), 1},
      {TMergeCommand::TopicTheirs, "TopicTheirsAction", QT_TR_NOOP("Topic: Take &Theirs"),
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_2), 1},
      {TMergeCommand::TopicBase, "TopicBaseAction", QT_TR_NOOP("Topic: Take &Base"),
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_3), 1},
      {TMergeCommand::TopicBoth, "TopicBothAction", QT_TR_NOOP("Topic: Keep Bo&th"),
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_4), 1},
      {TMergeCommand::ChangeOurs, "ChangeOursAction", QT_TR_NOOP("Change: Take Ours"),
       QKeySequence(Qt::CTRL | Qt::Key_1), 1},
      {TMergeCommand::ChangeTheirs, "ChangeTheirsAction", QT_TR_NOOP("Change: Take Theirs"),
       QKeySequence(Qt::CTRL | Qt::Key_2), 1},
      {TMergeCommand::ChangeBase, "ChangeBaseAction", QT_TR_NOOP("Change: Take Base"),
       QKeySequence(Qt::CTRL | Qt::Key_3), 1},
      {TMergeCommand::ChangeOursThenTheirs, "ChangeOursThenTheirsAction",
       QT_TR_NOOP("Change: Ours Then Theirs"), QKeySequence(Qt::CTRL | Qt::Key_4), 1},
      {TMergeCommand::ChangeTheirsThenOurs, "ChangeTheirsThenOursAction",
       QT_TR_NOOP("Change: Theirs Then Ours"), QKeySequence(Qt::CTRL | Qt::Key_5), 1},
      {TMergeCommand::AllOurs, "AllOursAction", QT_TR_NOOP("Take Ours for All Unresolved Conflicts"), {}, 1},
      {TMergeCommand::AllTheirs,
       "AllTheirsAction",
       QT_TR_NOOP("Take Theirs for All Unresolved Conflicts"),
       {},
       1},
      {TMergeCommand::NextConflict, "NextConflictAction", QT_TR_NOOP("&Next Conflict"),
       QKeySequence(Qt::Key_F9), 2},
      {TMergeCommand::PreviousConflict, "PreviousConflictAction", QT_TR_NOOP("&Previous Conflict"),
       QKeySequence(Qt::SHIFT | Qt::Key_F9), 2},
      {TMergeCommand::ShowBase, "ShowBaseAction", QT_TR_NOOP("Show &Base"),
       QKeySequence(Qt::CTRL | Qt::Key_B), 2},
  };
  auto* bar = new QMenuBar(this);
  QMenu* menus[] = {bar->addMenu(tr("&File")), bar->addMenu(tr("&Edit")), bar->addMenu(tr("&View"))};
  for (const TDesign& design : designs) {
    auto* action = new QAction(tr(design.Text), this);
    action->setObjectName(QLatin1String(design.Name));
    action->setShortcut(design.Keys);
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    menus[design.Menu]->addAction(action);
    FActions[static_cast<size_t>(design.Command)] = action;
  }
  Action(TMergeCommand::ShowBase)->setCheckable(true);
  layout()->setMenuBar(bar);
  const auto on = [this](TMergeCommand command, std::function<void()> handler) {
    connect(Action(command), &QAction::triggered, this,
            [this, handler = std::move(handler)] { Handle(handler); });
  };
  on(TMergeCommand::Save, [this] { Save(); });
  on(TMergeCommand::Close, [this] { close(); });
  on(TMergeCommand::Undo, [this] { FUndo->undo(); });
  on(TMergeCommand::Redo, [this] { FUndo->redo(); });
  on(TMergeCommand::TopicOurs, [this] { Choose(TMergePick::Ours, true); });
  on(TMergeCommand::TopicTheirs, [this] { Choose(TMergePick::Theirs, true); });
  on(TMergeCommand::TopicBase, [this] { Choose(TMergePick::Base, true); });
  on(TMergeCommand::TopicBoth, [this] { Choose(TMergePick::Both, true); });
  on(TMergeCommand::ChangeOurs, [this] { Choose(TMergePick::Ours, false); });
  on(TMergeCommand::ChangeTheirs, [this] { Choose(TMergePick::Theirs, false); });
  on(TMergeCommand::ChangeBase, [this] { Choose(TMergePick::Base, false); });
  on(TMergeCommand::ChangeOursThenTheirs, [this] { Choose(TMergePick::OursThenTheirs, false); });
  on(TMergeCommand::ChangeTheirsThenOurs, [this] { Choose(TMergePick::TheirsThenOurs, false); });
  on(TMergeCommand::AllOurs, [this] { ChooseAll(TMergePick::Ours); });
  on(TMergeCommand::AllTheirs, [this] { ChooseAll(TMergePick::Theirs); });
  on(TMergeCommand::NextConflict, [this] { NextConflict(true); });
  on(TMergeCommand::PreviousConflict, [this] { NextConflict(false); });
  connect(Action(TMergeCommand::ShowBase), &QAction::toggled, this,
          [this](bool on) { FBaseGroup->setVisible(on); });
}

TfrmMerge* TfrmMerge::AskAndShow(QWidget* owner) {
  auto window = std::make_unique<TfrmMerge>(owner);
  window->setAttribute(Qt::WA_DeleteOnClose);
  if (!window->AskFiles()) return nullptr;
  window->show();
  return window.release();
}

bool TfrmMerge::AskFiles() {
  for (auto& dialog : FDialogs)
    if (!dialog->Execute()) return false;
  OpenMerge(FDialogs[0]->FileName(), FDialogs[1]->FileName(), FDialogs[2]->FileName(),
            FDialogs[3]->FileName());
  return true;
}

void TfrmMerge::OpenMerge(const QString& base, const QString& ours, const QString& theirs,
                          const QString& out) {
  // All three are read before anything the window shows changes.
  auto b = std::make_unique<TQuillcrafterDoc>();
  auto o = std::make_unique<TQuillcrafterDoc>();
  auto t = std::make_unique<TQuillcrafterDoc>();
  LoadProject(*b, base, true);
  LoadProject(*o, ours, false);
  LoadProject(*t, theirs, false);
  auto plan =
      std::make_unique<TMergePlan>(PlanMerge(*b, *o, *t, TTopicMatchMode::tmByID, &qtbridge::CodePageToUtf8));
  plan->Labels.Ours = FromQString(QFileInfo(ours).fileName());
  plan->Labels.Theirs = FromQString(QFileInfo(theirs).fileName());
  plan->Labels.Base = FromQString(QFileInfo(base).fileName());
  FUndo->clear();
  FModel->Reset(nullptr, nullptr);
  FBase = std::move(b), FOurs = std::move(o), FTheirs = std::move(t), FPlan = std::move(plan);
  FRows = MergeRows(*FPlan);
  FRowOfDecision.assign(FPlan->Decisions.size(), 0);
  for (size_t r = 0; r < FRows.size(); ++r)
    for (int i = FRows[r].First; i < FRows[r].End; ++i)
      FRowOfDecision[static_cast<size_t>(i)] = static_cast<int>(r);
  FOutFile = out;
  FSavedAt = 0;
  FSavedWithoutConflicts = false;
  FModel->Reset(FPlan.get(), &FRows);
  FSelectedRow = -1;
  SelectRow(FRows.empty() ? -1 : 0);
  UpdateStatus();
  UpdateTitle();
}

void TfrmMerge::SelectRow(int row) {
  if (row >= static_cast<int>(FRows.size())) row = -1;
  const bool changed = row != FSelectedRow;
  FSelectedRow = row;
  FFilling = true;
  const int at = FModel->IndexOf(row);
  if (at >= 0) {
    const QModelIndex index = FModel->index(at, 0);
    FList->selectionModel()->setCurrentIndex(index,
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    FList->scrollTo(index);
  } else {
    FList->selectionModel()->clearSelection();
  }
  FFilling = false;
  if (changed) {
    FSelectedDecision = row >= 0 ? FirstUnresolved(*FPlan, FRows[static_cast<size_t>(row)]) : -1;
    if (row >= 0 && FSelectedDecision < 0) FSelectedDecision = FRows[static_cast<size_t>(row)].First;
    ShowSelected();
  }
}

void TfrmMerge::SelectDecision(int index) {
  if (FSelectedRow < 0) return;
  const TMergeRow& row = FRows[static_cast<size_t>(FSelectedRow)];
  if (index < row.First || index >= row.End) return;
  FSelectedDecision = index;
  ShowDecisions();
}

void TfrmMerge::ShowSelected() {
  if (FSelectedRow < 0) {
    for (TRichEdit* text : {FBaseText, FOursText, FTheirsText}) RichEditClear(*text);
    FEngine->CompareStrings({}, {});
  } else {
    const TMergeRow& row = FRows[static_cast<size_t>(FSelectedRow)];
    LoadText(*FBaseText, RowSide(*FPlan, row, 0));
    LoadText(*FOursText, RowSide(*FPlan, row, 1));
    LoadText(*FTheirsText, RowSide(*FPlan, row, 2));
    FEngine->CompareStrings(RichEditPlainTextCrLf(*FOursText), RichEditPlainTextCrLf(*FTheirsText));
  }
  ShowDecisions();
  ShowResult();
}

void TfrmMerge::ShowResult() {
  if (FSelectedRow < 0)
    RichEditClear(*FResultText);
  else
    LoadText(*FResultText, RowResult(*FPlan, FRows[static_cast<size_t>(FSelectedRow)]));
}

void TfrmMerge::ShowDecisions() {
  FFilling = true;
  FDecisions->clear();
  if (FSelectedRow >= 0) {
    const TMergeRow& row = FRows[static_cast<size_t>(FSelectedRow)];
    for (int i = row.First; i < row.End; ++i) {
      const TMergeDecision& d = FPlan->Decisions[static_cast<size_t>(i)];
      QString what;
      switch (d.Level) {
        case TMergeLevel::Topic:
          what = tr("Whole topic");
          break;
        case TMergeLevel::Field:
          what = tr("Field %1").arg(ToQString(d.Name));
          break;
        case TMergeLevel::TextBlock:
          what = tr("Text lines %1-%2").arg(d.OursStart + 1).arg(d.OursEnd);
          break;
        case TMergeLevel::Item:
          what = RowTitle(d);
          break;
      }
      auto* item = new QTreeWidgetItem(FDecisions, {what, ActionText(d.Action), DecisionState(d)});
      item->setData(0, Qt::UserRole, i);
      if (i == FSelectedDecision) FDecisions->setCurrentItem(item);
    }
  }
  FFilling = false;
}

void TfrmMerge::UpdateStatus() {
  std::array<int, static_cast<size_t>(TMergeClass::Count)> counts{};
  for (const TMergeRow& row : FRows) ++counts[static_cast<size_t>(MergeClassOf(RowAction(*FPlan, row)))];
  int unresolvedRows = 0;
  for (const TMergeRow& row : FRows)
    if (RowState(*FPlan, row) == TMergeRowState::Conflict) ++unresolvedRows;
  for (size_t i = 0; i < FClassButtons.size(); ++i) {
    QString text = QStringLiteral("%1 (%2)").arg(tr(kClassNames[i])).arg(counts[i]);
    if (static_cast<TMergeClass>(i) == TMergeClass::Conflict)
      text = tr("Conflict (%1 unresolved of %2)").arg(unresolvedRows).arg(counts[i]);
    FClassButtons[i]->setText(text);
  }
  FStatus->setText(StatusText());
}

QString TfrmMerge::StatusText() const {
  return tr("%1 of %2 conflicts unresolved; %3 rows")
      .arg(FPlan->UnresolvedCount())
      .arg(FPlan->ConflictCount())
      .arg(FRows.size());
}

void TfrmMerge::UpdateTitle() {
  const QString name = FOutFile.isEmpty() ? tr("Merge") : QFileInfo(FOutFile).fileName();
  setWindowTitle(tr("%1%2 - Merge Three Files").arg(name, Modified() ? QStringLiteral(" *") : QString()));
}

bool TfrmMerge::Modified() const { return FUndo->index() != FSavedAt; }

bool TfrmMerge::NextConflict(bool forward) {
  const int count = static_cast<int>(FRows.size());
  for (int step = 1; step <= count; ++step) {
    const int row =
        ((FSelectedRow < 0 ? (forward ? -1 : 0) : FSelectedRow) + (forward ? step : -step) + count) % count;
    if (RowState(*FPlan, FRows[static_cast<size_t>(row)]) != TMergeRowState::Conflict) continue;
    // A conflict hidden by its class switch is shown again: F9 never skips one.
    FClassButtons[static_cast<size_t>(MergeClassOf(RowAction(*FPlan, FRows[static_cast<size_t>(row)])))]
        ->setChecked(true);
    FSelectedRow = -1;
    SelectRow(row);
    return true;
  }
  return false;
}

void TfrmMerge::Push(TMergeChoice choice, const QString& text) {
  if (choice.Empty()) return;
  // States above the current step go with the push: a save among them can no longer come back.
  if (FSavedAt > FUndo->index()) FSavedAt = -1;
  FUndo->push(new TMergeChoiceCommand(*this, *FPlan, std::move(choice), text));
  MoveOn();
}

void TfrmMerge::Choose(TMergePick pick, bool wholeRow) {
  if (FSelectedRow < 0) return;
  const TMergeRow& row = FRows[static_cast<size_t>(FSelectedRow)];
  const QString title = RowTitle(FPlan->Decisions[static_cast<size_t>(row.First)]);
  if (wholeRow) {
    Push(ChooseRow(*FPlan, row, pick), tr("Choose for Topic '%1'").arg(title));
    return;
  }
  int index = FSelectedDecision;
  // The whole topic, where it is no conflict of its own, stands for its first unresolved change.
  if (index == row.First && !FPlan->Decisions[static_cast<size_t>(index)].IsConflict()) {
    const int unresolved = FirstUnresolved(*FPlan, row);
    if (unresolved >= 0) index = unresolved;
  }
  Push(ChooseDecision(*FPlan, index, pick), tr("Choose for a Change of '%1'").arg(title));
}

void TfrmMerge::ChooseAll(TMergePick pick) {
  Push(ChooseAllUnresolved(*FPlan, pick), pick == TMergePick::Theirs
                                              ? tr("Take Theirs for All Unresolved Conflicts")
                                              : tr("Take Ours for All Unresolved Conflicts"));
}

void TfrmMerge::MoveOn() {
  if (FSelectedRow < 0) return;
  const int next = FirstUnresolved(*FPlan, FRows[static_cast<size_t>(FSelectedRow)]);
  if (next >= 0) {
    SelectDecision(next);
    return;
  }
  NextConflict(true);
}

void TfrmMerge::ChoiceApplied(const TMergeChoice& choice, bool /*forward*/) {
  int last = -1;
  for (const TMergeChoice::TChange& change : choice.Changes) {
    const int row = FRowOfDecision[static_cast<size_t>(change.Index)];
    if (row != last) FModel->RowChanged(row);
    last = row;
  }
  // Taken back, the step shows where it was made.
  if (!choice.Changes.empty() && choice.Changes.size() == 1) {
    const int row = FRowOfDecision[static_cast<size_t>(choice.Changes.front().Index)];
    if (row != FSelectedRow) SelectRow(row);
    FSelectedDecision = choice.Changes.front().Index;
  }
  ShowDecisions();
  ShowResult();
  UpdateStatus();
}

bool TfrmMerge::Save() {
  if (FOutFile.isEmpty()) {
    if (!FDialogs[3]->Execute()) return false;
    FOutFile = FDialogs[3]->FileName();
  }
  const int unresolved = FPlan->UnresolvedCount();
  if (unresolved > 0 &&
      !AskYesNo(tr("%1 conflicts are still unresolved: their texts are saved marked, their values as ours. "
                   "Save anyway?")
                    .arg(unresolved)))
    return false;
  TQuillcrafterDoc merged;
  ApplyMerge(*FPlan, merged);
  merged.SaveToFile(FileNameToCore(FOutFile));
  FSavedAt = FUndo->index();
  FSavedWithoutConflicts = unresolved == 0;
  UpdateTitle();
  return true;
}

void TfrmMerge::closeEvent(QCloseEvent* event) {
  bool close = true;
  RunHandler([&] {
    if (!Modified()) return;
    switch (AskSaveChanges(FOutFile)) {
      case TSaveChoice::scSave:
        close = false;  // a save that fails keeps the window open
        close = Save();
        break;
      case TSaveChoice::scDiscard:
        break;
      case TSaveChoice::scCancel:
        close = false;
        break;
    }
  });
  if (close)
    event->accept();
  else
    event->ignore();
}

}  // namespace app
