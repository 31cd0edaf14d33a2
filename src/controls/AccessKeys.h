#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ondrevan {

// The letter after the "&" of a caption, in lower case ("&&" is a plain "&"); 0 for none.
char AccessKeyOf(std::string_view caption);
// The caption with "&" before the first letter that is the access key (the capital one
// first, then at the start of a word, then anywhere), a plain "&" in it doubled. A caption
// whose control has no key (0) is shown as it is: it says its own "&".
std::string CaptionWithAccessKey(std::string_view caption, char key);
// The access keys that more than one of the captions use (each once, in lower case).
std::string RepeatedAccessKeys(const std::vector<std::string>& captions);

}  // namespace ondrevan
