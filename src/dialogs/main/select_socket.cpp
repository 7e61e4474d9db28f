#include "dialogs/main/select_socket.h"

#include <array>

namespace quillet {
namespace {

using K = ControlKind;

constexpr std::array kControls = std::to_array<ControlTemplate>({
    {kIdSocket1, K::Radio, "Chip in socket #1", {20, 12, 90, 10}},
    {kIdSocket1 + 1, K::Radio, "Chip in socket #2", {20, 28, 90, 10}},
    {kIdSocket1 + 2, K::Radio, "Chip in socket #3", {20, 44, 90, 10}},
    {kIdSocket1 + 3, K::Radio, "Chip in socket #4", {20, 60, 90, 10}},
    {kIdSocketOk, K::DefaultButton, "OK", {125, 12, 50, 14}},
    {kIdSocketCancel, K::Button, "Cancel", {125, 30, 50, 14}, kHidden},
});

constexpr DialogTemplate kSelectSocket{151, "Select Chip in the Sockets", 186,
                                       80,  {"Arial", 8, false},          kControls};

}  // namespace

const DialogTemplate& SelectSocketDialogTemplate() {
  return kSelectSocket;
}

SelectSocket::SelectSocket(int& choice) : choice_(choice), states_(kSelectSocket) {
  for (int i = 0; i < kSocketCount; ++i) states_.Check(kIdSocket1 + i, i == choice);
}

void SelectSocket::OnRadio(int id) {
  for (int i = 0; i < kSocketCount; ++i) states_.Check(kIdSocket1 + i, kIdSocket1 + i == id);
}

// With no radio checked the socket stays as it was.
void SelectSocket::OnOk() {
  for (int i = 0; i < kSocketCount; ++i) {
    if (states_.checked(kIdSocket1 + i)) choice_ = i;
  }
}

}  // namespace quillet
