// Message dialogs: MessageDlg, MessageDlgPos and ShowMessage, shown as the window system's
// message box through Application->MessageBox.
//
// Answering without a screen: Application->SetMessageBoxFunc sees every dialog first (text,
// caption, MB_ flags) and returns the button's ID value; without it, the window system's
// SetMessageBoxHandler and the QJ_MESSAGEBOX_ANSWERS list of end-to-end scripts answer the box
// (see platform/os/Dialogs.h).
#pragma once

#include "platform/forms/Controls.h"

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = Cardinal;

constexpr TMsgDlgButtons MsgDlgButton(TMsgDlgBtn Btn) { return 1u << Btn; }
constexpr TMsgDlgButtons mbYesNo = MsgDlgButton(mbYes) | MsgDlgButton(mbNo),
                         mbYesNoCancel = mbYesNo | MsgDlgButton(mbCancel),
                         mbOKCancel = MsgDlgButton(mbOK) | MsgDlgButton(mbCancel),
                         mbAbortRetryIgnore = MsgDlgButton(mbAbort) | MsgDlgButton(mbRetry) | MsgDlgButton(mbIgnore),
                         mbRetryCancel = MsgDlgButton(mbRetry) | MsgDlgButton(mbCancel),
                         mbOKOnly = MsgDlgButton(mbOK);

extern const TResourceString SMsgDlgWarning;
extern const TResourceString SMsgDlgError;
extern const TResourceString SMsgDlgInformation;
extern const TResourceString SMsgDlgConfirm;
extern const TResourceString SMsgDlgButtons;

// The message box flags for a dialog: its button set (mbHelp is left out: there is no help
// system), the icon of the type and the default button (mbOK/mbYes unless DefaultButton is one
// of the set). Raises EInvalidOperation for a set the message box has no row of buttons for
// (the "to all" buttons, or a set like Yes with Cancel); an empty set is OK alone.
UINT MessageDlgFlags(TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer DefaultButton = -1);
// "Warning", "Error", "Information", "Confirm", or the application's title for mtCustom.
String MessageDlgCaption(TMsgDlgType DlgType);

// Shows Msg with the buttons and returns the modal result of the button chosen (mrOk, mrYes,
// ...; mrCancel for Esc where there is a Cancel button). HelpCtx is kept for callers that pass
// it. MessageDlgPos places the dialog's top-left corner at the screen point (X or Y of -1:
// centred on the active form, as MessageDlg does).
Integer MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer HelpCtx);
Integer MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer HelpCtx,
                   TMsgDlgBtn DefaultButton);
Integer MessageDlgPos(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer HelpCtx, Integer X,
                      Integer Y);

// An information-less box with OK, captioned with the application's title.
void ShowMessage(const String& Msg);
void ShowMessageFmt(const String& Msg, TFormatArgs Params);
void ShowMessagePos(const String& Msg, Integer X, Integer Y);
