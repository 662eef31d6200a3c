// The error help: the messages of the numeric error log, and for each an
// explanation (cause and remedy) looked up in the error text file, shown in
// the dialog Thelperr where it can be edited and saved.
#pragma once

#include <string>

namespace planox {

// The error text file: three lines per entry (message, cause, remedy); an
// entry is found by the first 14 characters of its message.
std::string ErrorHelpFileName();
inline constexpr size_t ErrorKeyLength = 14;

// The dialog Thelperr (installed by the Qt layer): shows the message, the
// cause and the remedy; on OK with changes it asks and saves them itself.
using ErrorHelpDialog = void (*)(const std::string& message, const std::string& cause,
                                 const std::string& remedy);
void SetErrorHelpDialog(ErrorHelpDialog dialog);

// Help > Error Messages: the logged messages to choose from.
void ShowErrorLog();
// The explanation of logged message n (1-based).
void ShowErrorHelp(int n);
// Replaces the cause and remedy of the message's entry. The file is
// replaced only once its new contents are completely written; on any
// failure the old file stays as it was.
void SaveErrorHelp(const std::string& message, const std::string& cause, const std::string& remedy);

}  // namespace planox
