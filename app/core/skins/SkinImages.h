// The skin's fixed images: id and file name, looked up in the current skin's
// folder. Ids name them everywhere in the program.
#pragma once

namespace Skins {

enum SkinImage {
    kImageStatusAtHome = 0,
    kImageStatusAtWork,
    kImageStatusAway,
    kImageStatusConnecting,
    kImageStatusDepression,
    kImageStatusDnd,
    kImageStatusEvil,
    kImageStatusFreeForChat,
    kImageStatusIfa,
    kImageStatusInvisible,
    kImageStatusLunch,
    kImageStatusNa,
    kImageStatusOccupied,
    kImageStatusOffline,
    kImageStatusOnline,
    kImageCloseAllGroups,
    kImageCreateNewGroup,
    kImageDeleteContact,
    kImageDeleteGroup,
    kImageGroupClosed,
    kImageGroupOpened,
    kImageMoveToGroup,
    kImageMessageIn,
    kImageMessageOut,
    kImageMessageOffline,
    kImageMessageSend,
    kImageOpenAllGroups,
    kImageRenameContact,
    kImageRenameGroup,
    kImageRootClosed,
    kImageRootOpened,
    kImageUserDetails,
    kImageHistory,
    kImageCopy,
    kImageBackground,
    kImageQuote,
    kImageCut,
    kImagePaste,
    kImageSmilies,
    kImageClear,
    kImageCloseTab,
    kImagePrefContacts,
    kImagePrefEvents,
    kImagePrefMessaging,
    kImagePrefSounds,
    kImagePrefInterface,
    kImagePrefAccounts,
    kImagePrefConnection,
    kImageEmpty,
    kImageInfo,
    kImageUpdate,
    kImageSaveAs,
    kImageDelete,
    kImageWarning,
    kImageMenuQuit,
    kImageMenuAbout,
    kImageMenuPrefs,
    kImageMenuDetails,
    kImageMenuFind,
    kFixedImageCount
};

// The file of a fixed image; null outside them.
const wchar_t* GetSkinImageFile(int id);

} // namespace Skins
