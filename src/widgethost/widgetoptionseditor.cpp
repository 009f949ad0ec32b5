// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgetoptionseditor.h"

#include "i18n/localizationmanager.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace Vantrell {

namespace {
constexpr int kEntityIdRole = Qt::UserRole + 1;

QListWidgetItem *entityItem(const WidgetEntity &entity)
{
    auto *item = new QListWidgetItem(
        entity.subtitle.isEmpty() ? entity.title : QStringLiteral("%1  \u00B7  %2").arg(entity.title, entity.subtitle));
    item->setData(kEntityIdRole, entity.id);
    item->setSizeHint(QSize(0, 24));
    return item;
}

// Fills `list` with what `search` finds, or the suggestions for an empty text.
void fillResults(QListWidget *list, const QList<WidgetEntity> &entities, const QString &selectedId)
{
    list->clear();
    for (const WidgetEntity &entity : entities) {
        QListWidgetItem *item = entityItem(entity);
        list->addItem(item);
        if (entity.id == selectedId)
            list->setCurrentItem(item);
    }
}
} // namespace

WidgetOptionsEditor::WidgetOptionsEditor(
    WidgetExtension &extension, const WidgetKind &kind, WidgetFamily family, WidgetOptionValues values, QWidget *parent)
    : QDialog(parent)
    , m_extension(extension)
    , m_kind(kind)
    , m_family(family)
    , m_values(resolvedOptionValues(kind.intent, family, values))
{
    setWindowTitle(QStringLiteral("%1 \u2014 %2")
                       .arg(localizedString(QStringLiteral("widgetHost.editor.title")),
                           extension.localizedString(kind.nameKey, AppLanguage::system)));
    auto *outer = new QVBoxLayout(this);
    m_form = new QFormLayout;
    m_form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_form->setLabelAlignment(Qt::AlignRight | Qt::AlignTop);
    outer->addLayout(m_form);
    for (const WidgetOption &option : kind.intent.options) {
        QWidget *field = nullptr;
        switch (option.type) {
        case WidgetOption::Type::enumeration:
            field = enumerationField(option);
            break;
        case WidgetOption::Type::boolean:
            field = booleanField(option);
            break;
        case WidgetOption::Type::entity:
            field = entityField(option);
            break;
        case WidgetOption::Type::entityList:
            field = entityListField(option);
            break;
        }
        auto *label = new QLabel(extension.localizedString(option.titleKey, AppLanguage::system));
        label->setBuddy(field);
        m_form->addRow(label, field);
        m_fields.insert(option.name, field);
    }
    // Changes apply as they are made: one button that only closes.
    auto *buttons = new QDialogButtonBox;
    auto *done
        = buttons->addButton(localizedString(QStringLiteral("widgetHost.editor.done")), QDialogButtonBox::AcceptRole);
    done->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    outer->addWidget(buttons);
    updateVisibility();
    setMinimumWidth(420);
}

void WidgetOptionsEditor::setValue(const QString &name, const QVariant &value)
{
    const WidgetOptionValues next = resolvedOptionValues(m_kind.intent, m_family, [&] {
        WidgetOptionValues changed = m_values;
        changed.insert(name, value);
        return changed;
    }());
    if (next == m_values)
        return;
    m_values = next;
    updateVisibility();
    Q_EMIT valuesChanged(m_values);
}

void WidgetOptionsEditor::updateVisibility()
{
    const QStringList visible = visibleOptionNames(m_kind.intent, m_values);
    for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it)
        m_form->setRowVisible(it.value(), visible.contains(it.key()));
    adjustSize();
}

QWidget *WidgetOptionsEditor::enumerationField(const WidgetOption &option)
{
    auto *combo = new QComboBox;
    for (const WidgetOption::Choice &choice : option.choices) {
        combo->addItem(choice.displayKey.isEmpty()
                ? choice.raw
                : m_extension.localizedString(choice.displayKey, AppLanguage::system),
            choice.raw);
    }
    combo->setCurrentIndex(std::max(0, combo->findData(m_values.value(option.name))));
    connect(combo, &QComboBox::currentIndexChanged, this,
        [this, combo, name = option.name] { setValue(name, combo->currentData().toString()); });
    return combo;
}

QWidget *WidgetOptionsEditor::booleanField(const WidgetOption &option)
{
    auto *check = new QCheckBox;
    check->setChecked(m_values.value(option.name).toBool());
    connect(check, &QCheckBox::toggled, this, [this, name = option.name](bool on) { setValue(name, on); });
    return check;
}

QWidget *WidgetOptionsEditor::entityField(const WidgetOption &option)
{
    auto *box = new QWidget;
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *search = new QLineEdit;
    search->setPlaceholderText(localizedString(QStringLiteral("widgetHost.editor.search")));
    search->setClearButtonEnabled(true);
    auto *results = new QListWidget;
    results->setMinimumHeight(180);
    layout->addWidget(search);
    layout->addWidget(results);
    const QString name = option.name;
    const auto refill = [this, results, name](const QString &text) {
        const QList<WidgetEntity> entities = text.trimmed().isEmpty()
            ? m_extension.suggestedEntities(m_kind.kind, name)
            : m_extension.entitiesMatching(m_kind.kind, name, text);
        const QString current = m_values.value(name).toString();
        fillResults(results, entities, current);
    };
    refill({});
    connect(search, &QLineEdit::textChanged, this, refill);
    connect(results, &QListWidget::itemClicked, this,
        [this, name](QListWidgetItem *item) { setValue(name, item->data(kEntityIdRole).toString()); });
    return box;
}

QWidget *WidgetOptionsEditor::entityListField(const WidgetOption &option)
{
    const QString name = option.name;
    const int limit = option.maximumCount.value(m_family, -1);
    auto *box = new QWidget;
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);

    auto *chosen = new QListWidget;
    chosen->setDragDropMode(QAbstractItemView::InternalMove);
    chosen->setDefaultDropAction(Qt::MoveAction);
    chosen->setMaximumHeight(112);
    auto *hint = new QLabel;
    hint->setForegroundRole(QPalette::PlaceholderText);
    auto *remove = new QPushButton(localizedString(QStringLiteral("widgetHost.editor.removeCoin")));
    auto *chosenButtons = new QHBoxLayout;
    chosenButtons->addWidget(hint, 1);
    chosenButtons->addWidget(remove);

    auto *search = new QLineEdit;
    search->setPlaceholderText(localizedString(QStringLiteral("widgetHost.editor.search")));
    search->setClearButtonEnabled(true);
    auto *results = new QListWidget;
    results->setMinimumHeight(168);
    auto *add = new QPushButton(localizedString(QStringLiteral("widgetHost.editor.addCoin")));

    layout->addWidget(chosen);
    layout->addLayout(chosenButtons);
    layout->addWidget(search);
    layout->addWidget(results);
    layout->addWidget(add, 0, Qt::AlignRight);

    const auto ids = [chosen] {
        QStringList list;
        for (int i = 0; i < chosen->count(); ++i)
            list.append(chosen->item(i)->data(kEntityIdRole).toString());
        return list;
    };
    const auto refresh = [this, chosen, hint, add, remove, results, limit, name] {
        const int count = chosen->count();
        hint->setText(limit >= 0 ? localizedString(
                          QStringLiteral("widgetHost.editor.limit"), {QString::number(count), QString::number(limit)})
                                 : QString());
        add->setEnabled((limit < 0 || count < limit) && results->currentItem());
        remove->setEnabled(chosen->currentItem() != nullptr);
        Q_UNUSED(name);
    };
    for (const WidgetEntity &entity :
        m_extension.entitiesForIdentifiers(m_kind.kind, name, m_values.value(name).toStringList()))
        chosen->addItem(entityItem(entity));

    const auto commit = [this, ids, name, refresh] {
        setValue(name, ids());
        refresh();
    };
    const auto addCurrent = [chosen, results, ids, limit, commit] {
        QListWidgetItem *item = results->currentItem();
        if (!item || (limit >= 0 && chosen->count() >= limit) || ids().contains(item->data(kEntityIdRole).toString()))
            return;
        chosen->addItem(item->clone());
        commit();
    };
    connect(add, &QPushButton::clicked, this, addCurrent);
    connect(results, &QListWidget::itemDoubleClicked, this, addCurrent);
    connect(results, &QListWidget::currentItemChanged, this, refresh);
    connect(chosen, &QListWidget::currentItemChanged, this, refresh);
    connect(remove, &QPushButton::clicked, this, [chosen, commit] {
        delete chosen->currentItem();
        commit();
    });
    // A drop reorders the rows; the model's signal comes once the move is done.
    connect(chosen->model(), &QAbstractItemModel::rowsMoved, this, commit);
    connect(search, &QLineEdit::textChanged, this, [this, results, name, refresh](const QString &text) {
        fillResults(results,
            text.trimmed().isEmpty() ? m_extension.suggestedEntities(m_kind.kind, name)
                                     : m_extension.entitiesMatching(m_kind.kind, name, text),
            {});
        refresh();
    });
    fillResults(results, m_extension.suggestedEntities(m_kind.kind, name), {});
    refresh();
    return box;
}

} // namespace Vantrell
