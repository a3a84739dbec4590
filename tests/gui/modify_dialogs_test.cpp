// Modify Selected Component in the kind's own dialog: the dialog opens with
// the component's values read back, OK changes it in place exactly as a
// fresh insertion of the changed values would have written it, Cancel
// changes nothing, "Edit HTML..." and a body changed by hand lead to the
// source editor.

#include "app/dialog_table.h"
#include "app/modify_component.h"
#include "components/component_dialog.h"
#include "components/component_fields.h"
#include "components/insertion.h"
#include "dialog_driving.h"
#include "document/kind_table.h"
#include "document/page_file.h"
#include "document/page_text.h"
#include "document/selection_lists.h"
#include "gui_test.h"
#include "scripted_prompts.h"
#include "site/shared_parts.h"
#include "test_pages.h"
#include "widgets/elided_label.h"
#include "workspace/area_content.h"
#include "workspace/component_editing.h"
#include "workspace/component_values.h"
#include "workspace/page_history.h"
#include "workspace/workspace.h"

#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include <functional>
#include <string>

using namespace qf;

namespace {

using test::Click;
using test::Find;
using test::OnModal;
using test::Shoot;
using test::Type;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// A value of `field` unlike its initial one, with the characters that need
// care on the way into the page and back: quotes, ampersands, markup,
// non-ASCII, and the backslash and apostrophe of script strings.
std::string SampleValue(const FieldSpec& field) {
    const std::string name(field.name);
    switch (field.format) {
    case FieldFormat::kAttribute:
        return "A\"&<\xC3\xA9 " + name;
    case FieldFormat::kScript:
        return "it's a \\ \"" + name + "\"";
    case FieldFormat::kContent:
        return "<b>" + name + "</b> & \xC3\xA9";
    case FieldFormat::kLines:
        return "one\ntwo & <i>2</i>\nthree \xC3\xA9";
    case FieldFormat::kInteger:
        if (name == "rows") {
            return "2";
        }
        if (name == "cols") {
            return "3";
        }
        if (field.minimum != 0 || field.maximum != 0) {
            return std::to_string((field.minimum + field.maximum) / 2);
        }
        return "7";
    case FieldFormat::kFlag:
        return "1";
    case FieldFormat::kCell:
        break;
    }
    return std::string();
}

// Every field of the kind set to its sample; a grid of 2 x 3 cells, one of
// them empty.
FieldValues SampleValues(const ComponentSpec& spec) {
    FieldValues values;
    for (const FieldSpec& field : spec.fields) {
        if (field.format == FieldFormat::kCell) {
            for (int row = 1; row <= 2; ++row) {
                for (int column = 1; column <= 3; ++column) {
                    const std::string place = std::to_string(row) + "." + std::to_string(column);
                    values["cell." + place] = row == 2 && column == 2 ? "" : "<i>" + place + "</i>";
                }
            }
        } else {
            values[std::string(field.name)] = SampleValue(field);
        }
    }
    return values;
}

// Clicks a component dialog's OK, its default button.
void ClickOk(QDialog* dialog) {
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->isDefault()) {
            button->click();
            return;
        }
    }
    QFAIL("no OK button");
}

QString Describe(const FieldValues& values) {
    QStringList lines;
    for (const auto& [name, value] : values) {
        lines << Q(name + "=" + value);
    }
    return lines.join(" | ");
}

} // namespace

class ModifyDialogsTest : public test::GuiTest {
    Q_OBJECT

private:
    Workspace workspace_;

    std::string FileBytes() const { return test::ReadBytes(workspace_.page_path); }

    // A page with the project's js.js (the rollover's script) in its
    // application folder.
    Workspace PageIn(const QString& root) const {
        Workspace workspace = test::TwoAreaWorkspace(root);
        QFile script(Q(workspace.app_folder) + "js.js");
        if (script.open(QIODevice::WriteOnly)) {
            script.write("function SwitchImg(){}\r\nfunction RestoreImg(){}\r\n");
        }
        return workspace;
    }

    // Inserts a component and selects its entry, as the list would.
    std::string Insert(Workspace& workspace, std::string_view kind_tag, const FieldValues& values) {
        InsertComponent(workspace, kind_tag, values);
        workspace.component_list.text = workspace.component_list.entries.back();
        return workspace.component_list.text;
    }

    // Runs Modify Selected Component with `act` on the dialog it opens, and
    // `then` on the one opened after it (the source editor after "Edit HTML...").
    bool Modify(const std::function<void(QDialog*)>& act,
                const std::function<void(QDialog*)>& then = nullptr) {
        OnModal([act, then](QWidget* dialog) {
            act(static_cast<QDialog*>(dialog));
            if (then) {
                OnModal([then](QWidget* next) {
                    then(static_cast<QDialog*>(next));
                    if (next->isVisible()) {
                        static_cast<QDialog*>(next)->reject();
                    }
                });
            }
            // A check that failed in `act` leaves no dialog waiting.
            if (dialog->isVisible()) {
                static_cast<QDialog*>(dialog)->reject();
            }
        });
        return ModifySelectedComponent(workspace_, nullptr);
    }

private Q_SLOTS:
    void initTestCase() { StartProgram(); }

    void init() {
        StartTest();
        workspace_ = PageIn(dir_->path());
    }

    void cleanup() { EndTest(); }

    // A shared part's copy changed in its own dialog: asked first whether
    // every page showing it changes, or this page only (then unshared).
    void ModifyingASharedCopyAsksWhetherEveryPageChanges() {
        const std::string entry = Insert(workspace_, "Bullet_Item_List", {{"items", "a\nb"}});
        ShareComponent(workspace_, entry, "Menu");
        const std::string other = workspace_.project_folder + "other.html";
        WritePageFile(other, workspace_.page_text); // a second page with a copy
        const auto items = [](const std::string& page) {
            return ReadComponent(page, "Bullet Item List1").Values().at("items");
        };
        const auto change_to = [](const QString& text) {
            return [text](QDialog* dialog) {
                Find<QPlainTextEdit>(dialog, "Memo1")->setPlainText(text);
                ClickOk(dialog);
            };
        };
        prompts_->Queue(QString("Cancel"));
        QVERIFY(!Modify(change_to("x")));
        QCOMPARE(items(ReadPageFile(other)), std::string("a\nb"));
        prompts_->Queue(QString("All Pages"));
        QVERIFY(Modify(change_to("a\nb\nc")));
        QVERIFY2(prompts_->asked.last().startsWith("choose: Change on all 2 pages?"),
                 qPrintable(prompts_->asked.last()));
        QCOMPARE(items(ReadPageFile(other)), std::string("a\nb\nc"));
        QCOMPARE(items(workspace_.page_text), std::string("a\nb\nc"));
        prompts_->Queue(QString("This Page Only"));
        QVERIFY(Modify(change_to("mine")));
        QCOMPARE(items(workspace_.page_text), std::string("mine"));
        QCOMPARE(items(ReadPageFile(other)), std::string("a\nb\nc"));
        QCOMPARE(SharedPartOfEntry(workspace_, entry), std::string());
    }

    // HTML code kept as a component has no dialog of its own: Modify opens
    // its source, without a note.
    void HtmlCodeIsModifiedInItsSource() {
        QDir().mkpath(QString::fromStdString(workspace_.app_folder + "temp"));
        workspace_.component_list.text = InsertHtmlComponent(workspace_, "<b>bold</b>");
        QString opened;
        QString source;
        Modify([&](QDialog* dialog) {
            opened = dialog->objectName();
            source = dialog->findChild<QPlainTextEdit*>("Memo1")->toPlainText();
            dialog->reject();
        });
        QCOMPARE(opened, QString("TFormCom"));
        QCOMPARE(source, QString("<b>bold</b>"));
        QVERIFY2(prompts_->asked.isEmpty(), qPrintable(prompts_->asked.join(" | ")));
    }

    // Every kind with a dialog: the dialog opens with every field as it was
    // written, and OK without a change writes the page byte for byte again.
    void EveryKindReopensWithTheValuesItWasWrittenWith() {
        std::vector<std::string> entries;
        for (const ComponentSpec& spec : ComponentSpecs()) {
            if (spec.kind_tag != "Custom_Table" && spec.kind_tag != "Html_Code") {
                FieldValues values = SampleValues(spec);
                // Each labelled field's id comes from its name, unique on a page.
                if (const auto name = values.find("name"); name != values.end()) {
                    name->second += " " + std::string(spec.kind_tag);
                }
                // A radio group's chosen one is one of its three choices.
                if (spec.kind_tag == "Radio_Group") {
                    values["chosen"] = "2";
                }
                entries.push_back(Insert(workspace_, spec.kind_tag, values));
            }
        }
        for (const std::string& entry : entries) {
            workspace_.component_list.text = entry;
            const ComponentSelection selection = ComponentToEdit(entry);
            const Kind* kind = FindKindByTag(selection.kind_tag);
            const ComponentReading reading = ReadComponent(workspace_.page_text, entry);
            QVERIFY2(reading.readable, reading.reason.c_str());
            const std::string before = FileBytes();
            QString opened;
            QString title;
            FieldValues gathered;
            const bool changed = Modify([&](QDialog* dialog) {
                opened = dialog->objectName();
                title = dialog->windowTitle();
                gathered = qobject_cast<ComponentDialog*>(dialog)->GatheredValues();
                ClickOk(dialog);
            });
            QVERIFY2(changed, qPrintable(Q(entry) + ": " + prompts_->asked.join(" | ")));
            QCOMPARE(opened, Q(std::string(kind->dialog_class)));
            QCOMPARE(title, Q("Modify " + entry));
            QVERIFY2(gathered == reading.Values(),
                     qPrintable(Q(entry) + ": gathered " + Describe(gathered) + "\n read " +
                                Describe(reading.Values())));
            QVERIFY2(FileBytes() == before, entry.c_str());
        }
    }

    // A few kinds: one field changed in the dialog gives the page a fresh
    // insertion of the changed values gives in that place, as one step named
    // by the entry; the number, the declaration and the lists stay.
    void OneChangedFieldGivesTheBytesOfAFreshInsertion() {
        struct Case {
            std::string kind_tag;
            FieldValues values;
            std::function<void(QDialog*)> change;
            FieldValues changed;
        };
        const std::vector<Case> cases = {
            {"Text_Link",
             {{"href", "other.html"},
              {"color", "#FF0000"},
              {"text", "Go & see"},
              {"status", "it's here"}},
             [](QDialog* dialog) { Type(dialog, "Edit2", "#00FF00"); },
             {{"color", "#00FF00"}}},
            // A cell emptied and another changed, in a grid of four.
            {"Data_Table",
             {{"rows", "2"},
              {"cols", "2"},
              {"cell.1.1", "a"},
              {"cell.1.2", "b"},
              {"cell.2.1", "c"},
              {"cell.2.2", "d"}},
             [](QDialog* dialog) {
                 auto* grid = Find<QTableWidget>(dialog, "Sg1");
                 grid->setCurrentCell(1, 0);
                 QCOMPARE(Find<QLineEdit>(dialog, "Edit1")->text(), QString("c"));
                 Type(dialog, "Edit1", "");
                 grid->setCurrentCell(0, 1);
                 Type(dialog, "Edit1", "B & b");
             },
             {{"cell.2.1", ""}, {"cell.1.2", "B & b"}}},
            // The Style group: its colours come back, the default style is ticked.
            {"Input_Text",
             {{"name", "who"}, {"bordercolor", "#111111"}, {"bgcolor", "#222222"}},
             [](QDialog* dialog) {
                 QCOMPARE(Find<QLineEdit>(dialog, "Edit3")->text(), QString("#222222"));
                 Click(dialog, "CheckBox1");
             },
             {{"defaultstyle", "1"}}},
            // The second picture of a rollover, its path as written.
            {"Roll_Img",
             {{"src", "images/a.png"}, {"rollover", "images/b.png"}, {"href", "http://x.org/"}},
             [](QDialog* dialog) {
                 QCOMPARE(Find<QLineEdit>(dialog, "Edit1")->text(), QString("images/a.png"));
                 Type(dialog, "Edit2", "images/c.png");
             },
             {{"rollover", "images/c.png"}}},
            {"Bullet_Item_List",
             {{"items", "one\ntwo"}, {"face", "Verdana"}, {"size", "3"}},
             [](QDialog* dialog) {
                 Find<QPlainTextEdit>(dialog, "Memo1")->setPlainText("one\ntwo\nthree");
             },
             {{"items", "one\ntwo\nthree"}}},
        };
        int number = 0;
        for (const Case& c : cases) {
            const QString root = dir_->filePath(QString("case%1").arg(++number));
            workspace_ = PageIn(root + "/modified");
            Workspace fresh = PageIn(root + "/fresh");
            for (const Workspace* page : {&workspace_, &fresh}) {
                QFile other(Q(page->project_folder) + "other.html");
                QVERIFY(other.open(QIODevice::WriteOnly));
            }
            const std::string entry = Insert(workspace_, c.kind_tag, c.values);
            const std::string before = workspace_.page_text;
            const SelectionList list = workspace_.component_list;
            const bool changed = Modify([&](QDialog* dialog) {
                c.change(dialog);
                ClickOk(dialog);
            });
            QVERIFY2(changed, qPrintable(Q(entry) + ": " + prompts_->asked.join(" | ")));

            FieldValues values = c.values;
            for (const auto& [name, value] : c.changed) {
                values[name] = value;
            }
            Insert(fresh, c.kind_tag, values);
            QVERIFY2(workspace_.page_text == fresh.page_text, entry.c_str());
            QVERIFY2(FileBytes() == test::ReadBytes(fresh.page_path), entry.c_str());
            QVERIFY(workspace_.component_list.entries == list.entries);
            QCOMPARE(workspace_.component_list.text, list.text);
            QCOMPARE(std::string(OpenPageHistory(workspace_).UndoName()), "Modify " + entry);
            UndoPageChange(workspace_);
            QVERIFY2(workspace_.page_text == before, entry.c_str());
        }
    }

    // A body changed by hand, and a custom table, open in the source editor
    // with a note that says why; Cancel there changes nothing.
    void BodiesThatDoNotReadOpenAsSourceWithANote() {
        Insert(workspace_, "Image", {{"src", "images/a.png"}, {"alt", "Sky"}});
        std::string text = workspace_.page_text;
        const std::string attribute = "border=\"0\"";
        text.replace(text.find(attribute), attribute.size(), "border=\"0\" style=\"float:left\"");
        CommitPageText(workspace_, text);
        const std::string before = FileBytes();
        QString opened;
        QString note;
        QString source;
        QVERIFY(!Modify([&](QDialog* dialog) {
            opened = dialog->objectName();
            note = Find<ElidedLabel>(dialog, "Note")->FullText();
            source = Find<QPlainTextEdit>(dialog, "Memo1")->toPlainText();
            Shoot(dialog, "modify_source_note", "Web1");
            Click(dialog, "ToolButton3");
        }));
        QCOMPARE(opened, QString("TFormCom"));
        QVERIFY2(note.startsWith("Opened as HTML, not in its own dialog. Its HTML is not what the "
                                 "editor writes for an Image: it differs at character"),
                 qPrintable(note));
        QVERIFY(source.contains("style=\"float:left\""));
        QVERIFY(FileBytes() == before);

        QDir(dir_->path()).mkpath("app/custom");
        test::WriteBytes(workspace_.app_folder + "custom/1.html",
                         "<table><tr><td>x</td></tr></table>");
        Insert(workspace_, "Custom_Table", {{"table", "1"}});
        opened.clear();
        QVERIFY(!Modify([&](QDialog* dialog) {
            opened = dialog->objectName();
            note = Find<ElidedLabel>(dialog, "Note")->FullText();
            static_cast<QDialog*>(dialog)->reject();
        }));
        QCOMPARE(opened, QString("TFormCom"));
        QVERIFY2(note.contains("is the text of its file"), qPrintable(note));
    }

    // "Edit HTML..." leaves the dialog for the source editor on the same
    // component, without a note; what was typed in the dialog is dropped.
    void EditHtmlOpensTheSourceEditor() {
        const std::string entry = Insert(workspace_, "Text_Link", {{"text", "Go"}});
        QString second;
        QString memo;
        bool noted = true;
        QVERIFY(Modify(
            [](QDialog* dialog) {
                QCOMPARE(Find<QLineEdit>(dialog, "Edit5")->text(), QString("Go"));
                Type(dialog, "Edit5", "Typed");
                Shoot(dialog, "modify_text_link");
                Click(dialog, "EditHtml");
            },
            [&](QDialog* dialog) {
                second = dialog->objectName();
                noted = dialog->findChild<ElidedLabel*>("Note") != nullptr;
                auto* source = Find<QPlainTextEdit>(dialog, "Memo1");
                memo = source->toPlainText();
                source->setPlainText(memo.replace(">Go<", ">Gone<"));
                Click(dialog, "ToolButton1");
            }));
        QCOMPARE(second, QString("TFormCom"));
        QVERIFY(!noted);
        QVERIFY2(memo.contains(">Gone<"), qPrintable(memo));
        QVERIFY(workspace_.page_text.find(">Gone<") != std::string::npos);
        QVERIFY(workspace_.page_text.find("Typed") == std::string::npos);
        QCOMPARE(workspace_.component_list.text, entry);
    }

    // Cancel and the close box after changes: the file stays byte for byte,
    // and no step is added.
    void CancelChangesNothing() {
        Insert(workspace_, "Data_Table",
               {{"rows", "2"}, {"cols", "2"}, {"cell.1.1", "a"}, {"color", "#FF0000"}});
        const std::string before = FileBytes();
        for (const char* way : {"ToolButton2", ""}) {
            QVERIFY(!Modify([way](QDialog* dialog) {
                QCOMPARE(Find<QSpinBox>(dialog, "SpinEdit1")->value(), 2);
                QCOMPARE(Find<QTableWidget>(dialog, "Sg1")->item(0, 0)->text(), QString("a"));
                if (*way != '\0') {
                    Shoot(dialog, "modify_data_table");
                }
                Find<QSpinBox>(dialog, "SpinEdit1")->setValue(3);
                Type(dialog, "Edit2", "#00FF00");
                Type(dialog, "Edit1", "changed");
                if (*way != '\0') {
                    Click(dialog, way);
                } else {
                    dialog->close();
                }
            }));
            QVERIFY(FileBytes() == before);
            QCOMPARE(std::string(OpenPageHistory(workspace_).UndoName()),
                     std::string("Insert Data Table1"));
        }
    }

    // A picture browsed anew while modifying travels with the site as on
    // insertion, and the page names it relative to itself.
    void APictureBrowsedAnewIsImported() {
        Insert(workspace_, "Image", {{"src", "images/old.png"}, {"width", "10"}});
        QDir(dir_->path()).mkpath("pics");
        const QString picture = dir_->filePath("pics/new one.png");
        QImage image(QSize(40, 30), QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QVERIFY(image.save(picture, "PNG"));
        QVERIFY(Modify([&](QDialog* dialog) {
            QCOMPARE(Find<QLineEdit>(dialog, "Edit1")->text(), QString("images/old.png"));
            prompts_->Queue(picture);
            Click(dialog, "ToolButton1");
            QCOMPARE(Find<QLineEdit>(dialog, "Edit1")->text(), QString("images/new%20one.png"));
            ClickOk(dialog);
        }));
        QVERIFY(QFile::exists(dir_->filePath("site/images/new one.png")));
        QVERIFY(workspace_.page_text.find("src=\"images/new%20one.png\" width=\"10\"") !=
                std::string::npos);
    }
};

QTEST_MAIN(ModifyDialogsTest)
#include "modify_dialogs_test.moc"
