#pragma once
// The hidden labels that hold the addresses buttons and banners open, and the About
// box's visible one.

#include "ads/site_addresses.h"

namespace hk::skin {
class TRzURLLabel;
}

namespace hk::ads {

struct LinkLabels {
    hk::skin::TRzURLLabel* RzURLLabel_UpdateHintkeeper = nullptr;
    hk::skin::TRzURLLabel* RzURLLabel_MerrowGames = nullptr;
    hk::skin::TRzURLLabel* RzURLLabel_FlashGames = nullptr;
    hk::skin::TRzURLLabel* RzURLLabel_WallpapersGirls = nullptr;
    hk::skin::TRzURLLabel* RzURLLabel_HintkeeperSite = nullptr;
    hk::skin::TRzURLLabel* RzURLLabel1 = nullptr;  // the About box's
};

// Gives each label present its address, whatever it held before.
void AssignLinkAddresses(const LinkLabels& labels, const SiteAddresses& sites);

}  // namespace hk::ads
