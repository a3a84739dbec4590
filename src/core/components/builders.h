#pragma once

// The builders of the component families, used by the field table only.

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qf::builders {

// A kind's field values after checking: every field present, text already in
// page form (ASCII, &quot; inside attributes), integers as decimal text, flags
// as "1" or "0", lines separated by "\n".
class Fields {
public:
    explicit Fields(std::map<std::string_view, std::string> values) : values_(std::move(values)) {}
    const std::string& Text(std::string_view name) const;
    bool Flag(std::string_view name) const { return Text(name) == "1"; }
    // The items of a lines field: every line that is not empty, in order.
    std::vector<std::string> Lines(std::string_view name) const;

private:
    std::map<std::string_view, std::string> values_;
};

// Images and links.
std::string ImageBody(const Fields& fields);
std::string ImageLinkBody(const Fields& fields);
std::string RolloverBody(const Fields& fields);
std::string TextLinkBody(const Fields& fields);
std::string MailLinkBody(const Fields& fields);
std::string HorizontalLineBody(const Fields& fields);

// Text and lists.
std::string TextBody(const Fields& fields);
std::string SubscriptBody(const Fields& fields);
std::string SuperscriptBody(const Fields& fields);
std::string ItemListBody(const Fields& fields);
std::string BulletItemListBody(const Fields& fields);
std::string SpacedListBody(const Fields& fields);

// Form fields.
std::string TextFieldBody(const Fields& fields);
std::string PasswordFieldBody(const Fields& fields);
std::string TextAreaBody(const Fields& fields);
std::string DropListBody(const Fields& fields);
std::string ListBoxBody(const Fields& fields);
std::string SubmitButtonBody(const Fields& fields);
std::string ImageButtonBody(const Fields& fields);
std::string ResetButtonBody(const Fields& fields);

} // namespace qf::builders
