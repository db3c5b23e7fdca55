// Temporary, until the file code has its OS layer: the file operations do
// nothing on Windows yet.

#include "RegularExpressionImpl.h"

namespace RegexClass {

unsigned int RegularExpression::FindFiles() { return 0; }
unsigned int RegularExpression::GrepFiles() { return 0; }
unsigned int RegularExpression::ChangeFiles() { return 0; }
const std::vector<RegularExpression::FileSearchProblem>* RegularExpression::GetFindFilesErrors() const { return nullptr; }
const std::vector<RegularExpression::FileSearchProblem>* RegularExpression::GetGrepFilesErrors() const { return nullptr; }
const std::vector<RegularExpression::FileChangeProblem>* RegularExpression::GetChangeFilesErrors() const { return nullptr; }

}  // namespace RegexClass
