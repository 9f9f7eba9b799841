#include "app/App.h"

int main()
{
    return RunKestrix();
}
