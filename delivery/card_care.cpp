#include "delivery/card_care.h"

#include <algorithm>

#include "common/messages.h"
#include "store/content_types.h"

namespace torvane {

SignedInCatalogue CatalogueForCare(const ContentCatalogue& catalogue) {
    SignedInCatalogue found;
    for (const Shelf shelf : kAllShelves) {
        for (const ContentRecord& record : catalogue.Contents(shelf)) {
            found.records.push_back(record);
            for (const FileRecord& file : record.files) {
                found.sizes[record.contentNo][DeviceFileName(file.name)] =
                    static_cast<std::uint32_t>(file.size);
            }
        }
    }
    return found;
}

bool CareReport::Sound() const {
    if (problems.empty()) return true;
    return repairs.has_value() && std::all_of(repairs->begin(), repairs->end(),
                                              [](const RepairStep& step) { return step.mended; });
}

std::string CareReport::Summary() const {
    if (problems.empty()) return std::string(kMsgCardSound);
    if (!repairs) return CardProblemsFound(problems.size());
    return std::string(Sound() ? kMsgCardRepaired : kMsgCardNotWhollyRepaired);
}

std::vector<std::string> CareReport::Lines() const {
    std::vector<std::string> lines;
    const auto line = [](const CardProblem& problem) {
        return problem.where + ": " + std::string(CardProblemSentence(problem.kind));
    };
    if (repairs) {
        for (const RepairStep& step : *repairs)
            lines.push_back(std::string(step.mended ? kMsgRepaired : kMsgLeftAsItWas) +
                            line(step.problem));
    } else {
        for (const CardProblem& problem : problems) lines.push_back(line(problem));
    }
    return lines;
}

CareReport CheckAndRepair(Card& card, bool repair, const SignedInCatalogue* catalogue,
                          IJobRunner* runner) {
    CareReport report;
    report.problems = CheckCard(card, catalogue != nullptr ? &catalogue->sizes : nullptr);
    if (repair) {
        report.repairs =
            report.problems.empty()
                ? std::vector<RepairStep>{}
                : RepairCard(card, report.problems,
                             catalogue != nullptr ? &catalogue->records : nullptr, runner);
    }
    return report;
}

}  // namespace torvane
