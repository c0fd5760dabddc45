#include "Core/CVModels/UIMessage.h"

// Copies what the user is to see from the server message.
void UIMessage::ConvertFromJobMessage(const CVClientData::JobMessage& message)
{
    Title = message.Title;
    Message = message.Message;
    Type = message.Type;
    Source = message.Source;
    CustomEventMessage = message.CustomEventMessage;
    CancellationReason = 0;
}
