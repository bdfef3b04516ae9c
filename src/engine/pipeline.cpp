// The calling order: parse, semantic layer, build, and the folded result.
#include "engine/pipeline.h"

namespace lorvane {

NamePipeline::NamePipeline(const GlobalSettings& settings, bool editMode, MessageSink* sink)
    : settings_(settings), sink_(sink) {
    RefreshOptions(editMode);
}

void NamePipeline::RefreshOptions(bool editMode) {
    dateOptions_ = MakeDateOptions(settings_);
    semanticOptions_ = MakeSemanticOptions(settings_, editMode);
}

const Result& NamePipeline::Evaluate(std::string_view name) {
    Parse(name);
    return parse_.good() ? BuildParsed() : folded_;
}

const Result& NamePipeline::Parse(std::string_view name) {
    parse_.reset();
    std::string_view code, formatName;
    ParseFilename(name, tree_, context(), code, formatName, parse_);
    formatName_ = formatName;
    parseFormatCode_ = code;
    if (parse_.good()) formatCode_ = code;
    noBuild();
    return fold();
}

const Result& NamePipeline::BuildParsed() {
    semanticsAndBuild();
    return fold();
}

const Result& NamePipeline::fold() {
    // Every finding the build folds in is worse than a "Good" parse or comes
    // after a parse that stopped the run, so folding is choosing the worse one.
    folded_ = build_.status > parse_.status ? build_ : parse_;
    return folded_;
}

const Result& NamePipeline::RefuseLong(int nameLength) {
    std::string_view code, formatName;
    RefuseLongFilename(nameLength, tree_, context(), code, formatName, parse_);
    formatName_ = formatName;
    parseFormatCode_ = code;
    noBuild();
    return fold();
}

void NamePipeline::noBuild() {
    build_.reset();
    name_.clear();
    built_ = false;
    buildFormatName_ = {};
}

const Result& NamePipeline::Rebuild() {
    parse_.reset();
    ResetTreeStatus(tree_);
    semanticsAndBuild();
    folded_ = build_;
    return folded_;
}

const Result& NamePipeline::BuildAgain(bool semantics) {
    if (semantics && semantics_) ApplySemantics(tree_, folded_, semanticOptions_, dateOptions_, sink_);
    std::string_view buildName;
    BuildFilename(name_, tree_, formatCode_, context(), buildName, folded_);
    buildFormatName_ = buildName;
    built_ = true;
    return folded_;
}

void NamePipeline::semanticsAndBuild() {
    build_.reset();
    if (semantics_) ApplySemantics(tree_, build_, semanticOptions_, dateOptions_, sink_);
    std::string_view buildName;
    BuildFilename(name_, tree_, formatCode_, context(), buildName, build_);
    buildFormatName_ = buildName;
    built_ = true;
}

}  // namespace lorvane
