#include "engine/dispatch.h"

#include "engine/serialized_output.h"
#include "engine/format1x.h"
#include "engine/format2x.h"
#include "engine/utf8.h"

namespace lorvane {

namespace {

void parse2x(std::string_view name, AttributeTree& tree, const GlobalSettings& s, Result& r) {
    Parse2x(name, tree, r,
            {s.Parse2xDelimiterStart, s.Parse2xDelimiterEnd, s.Parse2xDelimiterLabel, s.Parse2xDelimiterValue},
            isOn(s.ParseAllowIllegal), isOn(s.Parse2xAllowLabelDelimiters), s.Parse2xStrictMode,
            s.ParseLengthMaximum, s.ParseShowTreeLevels);
}

void parse1x(std::string_view name, AttributeTree& tree, const EngineContext& ctx, Result& r) {
    Parse1x(name, tree, r, ctx.dateOptions, MakeParse1xOptions(ctx.settings));
}

void build2x(std::string& name, AttributeTree& tree, const GlobalSettings& s, Result& r) {
    Build2x(name, tree, r,
            {s.Build2xDelimiterStart, s.Build2xDelimiterEnd, s.Build2xDelimiterLabel, s.Build2xDelimiterValue},
            isOn(s.BuildAllowIllegal), isOn(s.Build2xAllowLabelDelimiters), s.BuildLengthMaximum,
            s.BuildExtensionLengthMinimum, s.BuildExtensionLengthMaximum);
}

void build1x(std::string& name, AttributeTree& tree, const EngineContext& ctx, Result& r) {
    Build1x(name, tree, r, ctx.dateOptions, MakeBuild1xOptions(ctx.settings));
}

// Names come from the file system as bytes; refuse what is not UTF-8 before any
// format sees it, pointing at the first bad character.
bool rejectInvalidText(std::string_view name, AttributeTree& tree, Result& r) {
    if (utf8::isValid(name)) return false;
    std::size_t good = 0;
    while (good < name.size()) {
        std::size_t len = utf8::sequenceLength(static_cast<unsigned char>(name[good]));
        if (good + len > name.size() || !utf8::isValid(name.substr(good, len))) break;
        good += len;
    }
    tree.clear();
    r.reset();
    r.set(Status::Fail, "Filename is not valid UTF-8 text", utf8::position(name, good), 1);
    return true;
}

// Both formats refuse these names before reading them, with the same finding (the
// settings for them are shared), so 1.x need not be asked after 2.x refused one.
bool refusedBeforeReading(const Result& r) {
    return r.code == ResultCode::FilenameEmpty || r.code == ResultCode::FilenameTooLong ||
           r.code == ResultCode::IllegalCharacter;
}

}  // namespace

void ParseFilename(std::string_view fileName, AttributeTree& tree, const EngineContext& ctx,
                   std::string_view& formatCode, std::string_view& formatName, Result& result) {
    formatCode = {};
    formatName = {};
    if (rejectInvalidText(fileName, tree, result)) return;
    const GlobalSettings& s = ctx.settings;
    const std::string& mode = s.ParseMode;
    auto report = [&](std::string_view code, std::string_view name) {
        if (result.good()) {
            formatCode = code;
            formatName = name;
        }
    };
    if (mode == "(Auto)") {
        parse2x(fileName, tree, s, result);
        if (result.good()) return report(format::Code2x, format::Name2x);
        if (refusedBeforeReading(result)) return;
        // The 2.x finding stays in result unless 1.x reads the name. The second record is
        // kept per thread so that its message buffer, like the caller's, is reused.
        thread_local Result second;
        parse1x(fileName, tree, ctx, second);
        if (second.good()) {
            result = second;
            return report(format::Code1x, format::Name1x);
        }
    } else if (mode == "1.x") {
        parse1x(fileName, tree, ctx, result);
        report(format::Code1x, format::Name1x);
    } else if (mode == "2.x") {
        parse2x(fileName, tree, s, result);
        report(format::Code2x, format::Name2x);
    } else if (mode == "Batch") {
        ParseSerializedOutput(fileName, tree, result, isOn(s.ParseAllowIllegal), s.ParseLengthMaximum,
                         s.ParseShowTreeLevels);
        report(format::CodeBatch, format::NameBatch);
    } else {
        tree.clear();
        result.reset();
        result.set(Status::Fail, "Invalid parse mode", 1, static_cast<int>(utf8::length(fileName)));
    }
}

void RefuseLongFilename(int nameLength, AttributeTree& tree, const EngineContext& ctx, std::string_view& formatCode,
                        std::string_view& formatName, Result& result) {
    formatCode = {};
    formatName = {};
    tree.clear();
    result.reset();
    SetFilenameTooLong(result, nameLength, ctx.settings.ParseLengthMaximum);
}

void BuildFilename(std::string& fileName, AttributeTree& tree, std::string_view sourceFormatCode,
                   const EngineContext& ctx, std::string_view& formatName, Result& result) {
    const GlobalSettings& s = ctx.settings;
    const std::string& mode = s.BuildMode;
    formatName = {};
    auto done = [&](std::string_view name) {
        if (result.failed()) {
            fileName.clear();
            return false;
        }
        formatName = name;
        return true;
    };
    if (mode == "2.x") {
        build2x(fileName, tree, s, result);
        done(format::Name2x);
    } else if (mode == "1.x") {
        build1x(fileName, tree, ctx, result);
        done(format::Name1x);
    } else if (mode == "(Auto)") {
        if (sourceFormatCode == format::Code1x) {
            build1x(fileName, tree, ctx, result);
            if (done(format::Name1x)) return;
            // The tree no longer fits 1.x: start afresh and write it as 2.x.
            result.reset();
            ResetTreeStatus(tree);
            ApplySemantics(tree, result, ctx.semanticOptions, ctx.dateOptions, ctx.sink);
        }
        build2x(fileName, tree, s, result);
        done(format::Name2x);
    } else {
        fileName.clear();
        result.reset();
        result.status = Status::Fail;
        result.message = "Invalid build mode";
    }
}

}  // namespace lorvane
