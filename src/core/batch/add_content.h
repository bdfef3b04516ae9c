// Add Content: the request a dialog or the command line fills, and its step, which
// adds one attribute with one value to a parsed name, at the top level or under a
// value of another attribute.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "core/batch/batch_run.h"
#include "engine/tree.h"

namespace lorvane {

struct AddContentRequest {
    std::string attribute, value;  // what is added
    bool subAttribute = false;     // false: at the top level
    std::string contextAttribute, contextValue;
};

// A field as the run takes it: the blanks at its ends removed, as leaving a
// dialog field does.
std::string ContentField(std::string_view text);

// What the run would add with no name or no value; the dialog asks about each,
// the command line refuses it unless told otherwise.
enum class BlankContent { None, Attribute, Value };
BlankContent FindBlankContent(const AddContentRequest& request);

// The value the new attribute goes under: the root at the top level; otherwise,
// of the first attribute in creation order whose name matches and that has a
// value equal to contextValue (letter case ignored), its last such value. 0: none.
int FindAddContext(const AddContentRequest& request, const AttributeTree& tree);

// The step for one tree: the attribute with its value appended under the context,
// or NotApplicable when the name lacks it (the tree unchanged).
StepAnswer AddContentToTree(const AddContentRequest& request, AttributeTree& tree);

class AddContentStep final : public BatchStep {
public:
    // A copy: the dialog the request came from may change meanwhile.
    explicit AddContentStep(AddContentRequest request) : request_(std::move(request)) {}
    const BatchOperation& Operation() const override { return batch_operation::AddContent; }
    StepAnswer ChangeTree(AttributeTree& tree, const FileRow&) override { return AddContentToTree(request_, tree); }

private:
    AddContentRequest request_;
};

}  // namespace lorvane
