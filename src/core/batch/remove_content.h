// Remove Content: the request a dialog or the command line fills, and its step,
// which removes the attributes or values of a parsed name that meet one criterion
// within a context, their sub-attributes with them or promoted a level up.
#pragma once

#include <string>
#include <utility>

#include "core/batch/batch_run.h"
#include "engine/tree.h"

namespace lorvane {

// The dialog's Remove options, by their index.
enum class RemoveCriterion {
    AttributesWithoutValues = 1,
    AttributesWithEmptyLabels = 2,
    AttributesNamed = 3,  // the label stands for the same name as the text
    EmptyValues = 4,
    ValuesContaining = 5,
};
// The dialog's Context options, by their index.
enum class RemoveContext { Any = 1, TopLevel = 2, SubAttributeOf = 3 };

struct RemoveContentRequest {
    RemoveCriterion criterion = RemoveCriterion::AttributesNamed;
    std::string attributeText, valueText;  // for AttributesNamed and ValuesContaining
    RemoveContext context = RemoveContext::Any;
    std::string contextAttribute, contextValue;
    bool promote = false;  // sub-attributes of what goes move up instead of going with it
};

// Whether the node (not the root) lies in the request's context and meets its criterion.
bool MeetsRemoveCriterion(const RemoveContentRequest& request, const AttributeTree& tree, int node);

// The step for one tree: every node that meets the criterion removed, in one pass
// by position, which also reaches the copies a promotion appends. NotApplicable
// when nothing met it (the tree unchanged).
StepAnswer RemoveContentFromTree(const RemoveContentRequest& request, AttributeTree& tree);

class RemoveContentStep final : public BatchStep {
public:
    // A copy: the dialog the request came from may change meanwhile.
    explicit RemoveContentStep(RemoveContentRequest request) : request_(std::move(request)) {}
    const BatchOperation& Operation() const override { return batch_operation::RemoveContent; }
    StepAnswer ChangeTree(AttributeTree& tree, const FileRow&) override {
        return RemoveContentFromTree(request_, tree);
    }

private:
    RemoveContentRequest request_;
};

}  // namespace lorvane
