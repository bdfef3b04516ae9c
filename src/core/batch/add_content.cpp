#include "core/batch/add_content.h"

#include "engine/dictionary.h"
#include "engine/utf8.h"

namespace lorvane {

std::string ContentField(std::string_view text) { return std::string(utf8::trimSpaces(text)); }

BlankContent FindBlankContent(const AddContentRequest& request) {
    if (request.attribute.empty()) return BlankContent::Attribute;
    if (request.value.empty()) return BlankContent::Value;
    return BlankContent::None;
}

int FindAddContext(const AddContentRequest& request, const AttributeTree& tree) {
    if (!request.subAttribute) return tree.root();
    for (int n = 1; n <= tree.count(); ++n) {
        const Node& attribute = tree[n];
        if (!attribute.isAttribute() || !attribute.children ||
            !SameAttributeName(attribute.text, request.contextAttribute))
            continue;
        int context = 0;
        for (int v = attribute.child; v; v = tree[v].next)
            if (utf8::equalIgnoringCase(tree[v].text, request.contextValue)) context = v;
        if (context) return context;
    }
    return 0;
}

StepAnswer AddContentToTree(const AddContentRequest& request, AttributeTree& tree) {
    const int context = FindAddContext(request, tree);
    if (!context) return StepAnswer::NotApplicable;
    AddTaggedAttribute(tree, context, request.attribute, request.value);
    return StepAnswer::Changed;
}

}  // namespace lorvane
