// Resizing an NArray with spare capacity, for arrays that grow one element at a time.
#pragma once

#include "foundation/NArray.h"

// Sets the size of array to count. NArray grows to exactly the size asked for, so when count
// passes the capacity this first grows to twice the capacity (at least 16) and shrinks back: the
// capacity stays and the next few growths copy nothing. Falls back to the exact size when the
// larger block cannot be had. FALSE (array unchanged) when memory runs out.
template <class T> BOOL ResizeWithHeadroom(NArray<T>& array, int count) {
    if (count > array.GetCapacity()) {
        int room = array.GetCapacity() <= 0x3FFFFFFF ? array.GetCapacity() * 2 : count;
        if (room < 16)
            room = 16;
        if (room > count && !array.SetSize(room) && !array.SetSize(count))
            return FALSE;
    }
    return array.SetSize(count);
}
