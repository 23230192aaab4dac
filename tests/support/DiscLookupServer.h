#pragma once
// Answers of a freedb-compatible server and of the MusicBrainz web service for one made-up disc,
// for tests that look a disc up against a LoopbackHttpServer: artist "AC/DC", album
// "Live: 1992", year 1992, genre "Hard Rock" and the titles "Who?", "Second", "Third" by
// position. Whatever disc ID is asked for is the one found.
#include <QByteArray>

#include "support/LoopbackHttpServer.h"

namespace corvane::test {

// `scenario`: "exact" finds the disc, "nomatch" knows nothing about it, "malformed" answers with
// a page that is no answer at all, "slow" never answers.
HttpAnswer ServeDiscLookup(const HttpRequest& request, const QByteArray& scenario);

}  // namespace corvane::test
