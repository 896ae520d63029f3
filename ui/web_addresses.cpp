#include "ui/web_addresses.h"

#include "expand/generate.h"

// Built on first use rather than at start-up: maker_address is a global of
// another file, and the order in which such globals are made is not fixed.
const WebAddresses& web_addresses() {
    static const WebAddresses table{
        maker_address + "/",
        maker_address + "/data/",
        "http://soft.tsr.example/",
        "http://www.quorvik.example/data/",
        "奎维克",
        "http://www.lumavale.example/data/",
        "璐玛谷",
        maker_address + "/seo/gjc.html",
    };
    return table;
}
