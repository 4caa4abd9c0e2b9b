#include "app/exit_confirmation.h"

bool ConfirmExit(MessageBoxRoutine& messages) {
    return messages.Show("您确定要退出程序吗", MessageBoxRoutine::kOkCancelInformation) ==
           MessageBoxRoutine::kResultOk;
}
