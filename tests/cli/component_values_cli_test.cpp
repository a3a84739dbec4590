#include "cli_runner.h"
#include "components/component_fields.h"
#include "document/page_file.h"
#include "random_values.h"
#include "test_pages.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>

namespace qf {
namespace {

using test::RunCli;

QString Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "(missing)";
}

// FIELD=VALUE lines back into values, a list's repeated lines joined again;
// and the field names in the order printed.
FieldValues ParseValues(const std::string& out, std::vector<std::string>* order) {
    FieldValues values;
    std::size_t at = 0;
    while (at < out.size()) {
        const std::size_t end = out.find('\n', at);
        const std::string line = out.substr(at, end - at);
        at = end == std::string::npos ? out.size() : end + 1;
        const std::size_t equals = line.find('=');
        const std::string name = line.substr(0, equals);
        const auto [place, added] = values.emplace(name, line.substr(equals + 1));
        if (added) {
            order->push_back(name);
        } else {
            place->second += "\n" + line.substr(equals + 1);
        }
    }
    return values;
}

QStringList Assignments(const FieldValues& values) {
    QStringList args;
    for (const auto& [name, value] : values) {
        args << Q(name + "=" + value);
    }
    return args;
}

// For every kind: a component inserted with random values, its values read
// back by component-values build its HTML again, and modify-component with
// one field changed gives the bytes of a page that had the changed values
// inserted instead, in the same place.
TEST(ComponentValuesCli, EveryKindReadsBackAndModifiesLikeAFreshInsertion) {
    QTemporaryDir dir;
    QTemporaryDir twin_dir;
    const std::string start =
        test::PageWith("<!---Table1---!><!---Image1---!>",
                       test::TableArea(1, "<!---Begin_Image1---!><img 1><!---End_Image1---!>"));
    std::mt19937 random(18);
    for (const ComponentSpec& spec : ComponentSpecs()) {
        const std::string kind(spec.kind_tag);
        // A custom table is its file's text; HTML code is its one value, whose
        // last line break the value lines printed here cannot show (the core
        // tests read it back).
        if (kind == "Custom_Table" || kind == "Html_Code") {
            continue;
        }
        for (int round = 0; round < 3; ++round) {
            const QString page = dir.filePath("index.html");
            const QString twin = twin_dir.filePath("index.html");
            WritePageFile(page.toStdString(), start);
            WritePageFile(twin.toStdString(), start);
            const FieldValues values = test::RandomFieldValues(spec, random);
            auto result =
                RunCli(QStringList{"insert", page, "Area1", Q(kind)} + Assignments(values));
            ASSERT_EQ(result.status, 0) << kind << ": " << result.err;
            const std::string entry = result.out.substr(0, result.out.size() - 1);

            result = RunCli({"component-values", page, Q(entry)});
            ASSERT_EQ(result.status, 0) << kind << ": " << result.err;
            std::vector<std::string> order;
            FieldValues read = ParseValues(result.out, &order);
            std::vector<std::string> table_order;
            for (const FieldSpec& field : spec.fields) {
                if (field.format != FieldFormat::kCell) {
                    table_order.push_back(std::string(field.name));
                }
            }
            std::erase_if(order,
                          [](const std::string& name) { return name.rfind("cell.", 0) == 0; });
            EXPECT_EQ(order, table_order) << kind;
            const auto source = RunCli({"component-source", page, Q(entry)});
            EXPECT_EQ(BuildComponentBody(kind, read) + "\n", source.out) << kind;

            // One field changed, by its new random value.
            const FieldSpec& field = spec.fields[random() % spec.fields.size()];
            if (field.format == FieldFormat::kCell) {
                continue;
            }
            const FieldValues other = test::RandomFieldValues(spec, random);
            if (other.count(std::string(field.name)) == 0) {
                continue;
            }
            const std::string change =
                std::string(field.name) + "=" + other.at(std::string(field.name));
            result = RunCli({"modify-component", page, Q(entry), Q(change)});
            FieldValues changed = read;
            changed[std::string(field.name)] = other.at(std::string(field.name));
            const auto fresh =
                RunCli(QStringList{"insert", twin, "Area1", Q(kind)} + Assignments(changed));
            // A grid made smaller refuses cells outside it on insertion; the
            // modification drops them.
            if (fresh.status != 0) {
                continue;
            }
            ASSERT_EQ(result.status, 0) << kind << " " << change << ": " << result.err;
            EXPECT_EQ(Bytes(page), Bytes(twin)) << kind << " " << change;
        }
    }
}

TEST(ComponentValuesCli, UnreadableBodiesAndBadArgumentsAreRefused) {
    QTemporaryDir dir;
    const QString page = dir.filePath("index.html");
    WritePageFile(page.toStdString(),
                  test::PageWith("<!---Table1---!><!---Image1---!><!---Custom_Table1---!>",
                                 test::TableArea(1, test::Block("Image1", "<img 1>") +
                                                        test::Block("Custom_Table1", "<table>"))));
    const std::string before = Bytes(page);
    auto result = RunCli({"component-values", page, "Image1"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("Image1 cannot be read back: Its HTML is not what the editor writes "
                              "for an Image: it differs at character 6"),
              std::string::npos)
        << result.err;
    result = RunCli({"modify-component", page, "Image1", "src=a.gif"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("cannot be read back"), std::string::npos) << result.err;
    result = RunCli({"component-values", page, "Custom Table1"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("text of its file"), std::string::npos) << result.err;
    EXPECT_EQ(RunCli({"modify-component", page, "Image1", "src"}).status, 2);
    EXPECT_EQ(RunCli({"component-values", page}).status, 2);
    EXPECT_EQ(RunCli({"component-values", page, "Image7"}).status, 1);
    EXPECT_EQ(RunCli({"component-values", page, "Form"}).err, "The page has no form\n");
    EXPECT_EQ(Bytes(page), before);

    // The form reads its action.
    ASSERT_EQ(RunCli({"form", page, "target=mail.php"}).status, 0);
    result = RunCli({"component-values", page, "Form"});
    EXPECT_EQ(result.out, "action=mail.php\ntrap=1\n") << result.err;
}

} // namespace
} // namespace qf
