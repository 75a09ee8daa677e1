// Any bytes given as one record line (already unscrambled) must parse to a question or an
// error, never a crash; a question that parsed is written back and reads the same.
#include "storage/record.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace examo::record;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)SplitFields(bytes);
    (void)KindOf(bytes);
    (void)ParseHeaderLine(bytes);
    const ParseResult parsed = ParseQuestion(bytes);
    if (!parsed.question)
        return 0;
    const Question& q = *parsed.question;
    const std::string rebuilt =
        q.kind == QuestionKind::MultipleChoice
            ? BuildMultipleChoice(q.kindField, q.text, q.answers, q.media, q.correct)
            : BuildTrueFalse(q.kindField, q.text, q.media, q.correct);
    const ParseResult again = ParseQuestion(rebuilt);
    if (!again.question || again.question->kind != q.kind || again.question->text != q.text ||
        again.question->answers != q.answers || again.question->media != q.media ||
        again.question->correct != q.correct)
        __builtin_trap();
    return 0;
}
